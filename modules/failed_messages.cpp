#include "modules/failed_messages.h"

#include "platform/text_encoding.h"

namespace relaybird {

namespace {

// A break after the last line starts no further, empty line.
std::vector<std::string_view> SplitLines(std::string_view Text) {
  std::vector<std::string_view> Lines;
  std::size_t Start = 0;
  for (std::size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] != '\r' && Text[i] != '\n') continue;
    Lines.push_back(Text.substr(Start, i - Start));
    if (Text[i] == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') ++i;
    Start = i + 1;
  }
  if (Start < Text.size()) Lines.push_back(Text.substr(Start));
  return Lines;
}

}  // namespace

TFailedMessageList ParseFailedMessages(std::string_view Text) {
  TFailedMessageList Messages;
  if (Trim(Text).empty()) return Messages;
  const std::vector<std::string_view> Lines = SplitLines(Text);
  for (std::size_t i = 0; i + 1 < Lines.size(); i += 2) {
    int Count = 0;
    if (!TryStrToInt(Lines[i + 1], Count)) Count = 0;
    Messages.push_back({std::string(Lines[i]), Count});
  }
  return Messages;
}

}  // namespace relaybird
