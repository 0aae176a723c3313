#pragma once
// The aliases an Oracle client resolves through its tnsnames.ora.
#include <string>
#include <vector>

namespace relaybird {

// The names defined at the top level of the file, in file order ("A, B =
// (...)" defines two); "" when the file cannot be read. Comments start with
// "#"; IFILE entries are not names.
std::vector<std::string> ReadTnsAliases(const std::string& FileName);

}  // namespace relaybird
