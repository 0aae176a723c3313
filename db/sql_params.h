#pragma once
// Named parameter markers (":NAME") in a statement text, turned into the
// positional markers ("?") a driver takes.
#include <string>
#include <vector>

namespace relaybird {

struct TParamMarkers {
  std::string Text;                 // the statement with every marker as "?"
  std::vector<std::string> Names;   // the name of each "?", in text order
};

// A marker is ':' followed by a letter or '_' and more letters, digits or
// '_', outside quoted texts, quoted names and comments. "::" (a cast) and
// ":=" are not markers.
TParamMarkers ParseParamMarkers(const std::string& Sql);

}  // namespace relaybird
