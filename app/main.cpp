#include <string>
#include <vector>

#include "app/process_objects.h"
#include "app/program_entry.h"

int main(int argc, char** argv) {
  relaybird::TProcessObjects ProcessObjects;
  return relaybird::RunProgram(std::vector<std::string>(argv + 1, argv + argc));
}
