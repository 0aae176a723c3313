#include "db/tns_names.h"

#include <fstream>
#include <sstream>

#include "platform/text_encoding.h"

namespace relaybird {

std::vector<std::string> ReadTnsAliases(const std::string& FileName) {
  std::ifstream File(FileName, std::ios::binary);
  if (!File) return {};
  std::ostringstream Content;
  Content << File.rdbuf();

  std::vector<std::string> Aliases;
  std::string Pending;  // text at depth 0 since the last definition
  int Depth = 0;
  bool InComment = false;
  bool InValue = false;  // after a name's "=", before its first "("
  for (char C : Content.str()) {
    if (InComment) {
      if (C == '\n') InComment = false;
      continue;
    }
    if (InValue && C != ' ' && C != '\t' && C != '\r' && C != '\n') {
      InValue = false;
      // A value without parentheses (IFILE = path) runs to the end of its line.
      if (C != '(') {
        InComment = C != '\n';
        continue;
      }
    }
    if (C == '#') {
      InComment = true;
    } else if (C == '(') {
      ++Depth;
    } else if (C == ')') {
      if (Depth > 0) --Depth;
      if (Depth == 0) Pending.clear();
    } else if (Depth == 0 && C == '=') {
      std::stringstream Names(Pending);
      std::string Name;
      while (std::getline(Names, Name, ',')) {
        Name = Trim(Name);
        if (!Name.empty() && !SameText(Name, "IFILE")) Aliases.push_back(Name);
      }
      Pending.clear();
      InValue = true;
    } else if (Depth == 0) {
      Pending += C;
    }
  }
  return Aliases;
}

}  // namespace relaybird
