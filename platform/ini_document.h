#pragma once
// The lines of an INI file as text, with the lookups and edits of the
// private-profile rules. Lines that are neither headers nor entries, and the
// line ends already in the file, survive every edit unchanged.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace relaybird {

class TIniDocument {
 public:
  explicit TIniDocument(std::string_view Text);
  std::string Text() const;

  // Lookups go to the first section of that name and the first entry of a key.
  // Values are returned as they stand after the '='.
  std::optional<std::string> Value(std::string_view Section, std::string_view Key) const;
  std::vector<std::pair<std::string, std::string>> Entries(std::string_view Section) const;
  std::vector<std::string> Sections() const;
  bool HasSection(std::string_view Section) const;

  void SetValue(std::string_view Section, std::string_view Key, std::string_view Value);
  // Both remove every occurrence; false when there was none.
  bool DeleteKey(std::string_view Section, std::string_view Key);
  bool EraseSection(std::string_view Section);

 private:
  enum class TLineKind { Other, Header, Entry };
  struct TLine {
    std::string Text;
    std::string Ending;
    TLineKind Kind = TLineKind::Other;
    std::string Name;  // section name of a header, key of an entry
    std::string Match;  // Name upper-cased, compared against upper-cased queries
  };

  static TLine MakeLine(std::string Text, std::string Ending);
  std::size_t FindHeader(const std::string& Match, std::size_t From) const;
  std::size_t SectionEnd(std::size_t Header) const;
  std::size_t FindEntry(std::size_t Header, const std::string& Match) const;
  void InsertLine(std::size_t Position, std::string Text);

  std::vector<TLine> FLines;
};

}  // namespace relaybird
