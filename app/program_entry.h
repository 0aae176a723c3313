#pragma once
#include <string>
#include <vector>

namespace relaybird {

// The start-up sequence shared by both roles, then the role the command line
// asks for. Args are the arguments after the program name.
int RunProgram(const std::vector<std::string>& Args);

}  // namespace relaybird
