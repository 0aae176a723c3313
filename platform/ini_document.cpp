#include "platform/ini_document.h"

#include <unordered_set>

#include "platform/text_encoding.h"

namespace relaybird {

namespace {

constexpr std::size_t NotFound = static_cast<std::size_t>(-1);
constexpr const char* LineEnd = "\r\n";

}  // namespace

TIniDocument::TIniDocument(std::string_view Text) {
  std::size_t Start = 0;
  while (Start < Text.size()) {
    const std::size_t Break = Text.find_first_of("\r\n", Start);
    if (Break == std::string_view::npos) {
      FLines.push_back(MakeLine(std::string(Text.substr(Start)), std::string()));
      break;
    }
    const std::size_t EndingLength = Text.compare(Break, 2, "\r\n") == 0 ? 2 : 1;
    FLines.push_back(MakeLine(std::string(Text.substr(Start, Break - Start)),
                              std::string(Text.substr(Break, EndingLength))));
    Start = Break + EndingLength;
  }
}

std::string TIniDocument::Text() const {
  std::string Result;
  for (const TLine& Line : FLines) {
    Result += Line.Text;
    Result += Line.Ending;
  }
  return Result;
}

TIniDocument::TLine TIniDocument::MakeLine(std::string Text, std::string Ending) {
  TLine Line{std::move(Text), std::move(Ending), TLineKind::Other, std::string(), std::string()};
  const std::string Trimmed = Trim(Line.Text);
  if (Trimmed.empty() || Trimmed[0] == ';') return Line;
  const std::size_t Close = Trimmed[0] == '[' ? Trimmed.rfind(']') : std::string::npos;
  if (Close != std::string::npos) {
    Line.Kind = TLineKind::Header;
    Line.Name = Trim(std::string_view(Trimmed).substr(1, Close - 1));
  } else {
    const std::size_t Equals = Line.Text.find('=');
    if (Equals == std::string::npos) return Line;
    Line.Name = Trim(std::string_view(Line.Text).substr(0, Equals));
    if (Line.Name.empty()) return Line;
    Line.Kind = TLineKind::Entry;
  }
  Line.Match = AnsiUpperCase(Line.Name);
  return Line;
}

std::size_t TIniDocument::FindHeader(const std::string& Match, std::size_t From) const {
  for (std::size_t i = From; i < FLines.size(); ++i) {
    if (FLines[i].Kind == TLineKind::Header && FLines[i].Match == Match) return i;
  }
  return NotFound;
}

std::size_t TIniDocument::SectionEnd(std::size_t Header) const {
  std::size_t i = Header + 1;
  while (i < FLines.size() && FLines[i].Kind != TLineKind::Header) ++i;
  return i;
}

std::size_t TIniDocument::FindEntry(std::size_t Header, const std::string& Match) const {
  const std::size_t End = SectionEnd(Header);
  for (std::size_t i = Header + 1; i < End; ++i) {
    if (FLines[i].Kind == TLineKind::Entry && FLines[i].Match == Match) return i;
  }
  return NotFound;
}

std::optional<std::string> TIniDocument::Value(std::string_view Section, std::string_view Key) const {
  const std::size_t Header = FindHeader(AnsiUpperCase(Section), 0);
  if (Header == NotFound) return std::nullopt;
  const std::size_t Entry = FindEntry(Header, AnsiUpperCase(Key));
  if (Entry == NotFound) return std::nullopt;
  const std::string& Text = FLines[Entry].Text;
  return Text.substr(Text.find('=') + 1);
}

std::vector<std::pair<std::string, std::string>> TIniDocument::Entries(std::string_view Section) const {
  std::vector<std::pair<std::string, std::string>> Result;
  const std::size_t Header = FindHeader(AnsiUpperCase(Section), 0);
  if (Header == NotFound) return Result;
  std::unordered_set<std::string> Seen;
  const std::size_t End = SectionEnd(Header);
  for (std::size_t i = Header + 1; i < End; ++i) {
    const TLine& Line = FLines[i];
    if (Line.Kind != TLineKind::Entry || !Seen.insert(Line.Match).second) continue;
    Result.emplace_back(Line.Name, Line.Text.substr(Line.Text.find('=') + 1));
  }
  return Result;
}

std::vector<std::string> TIniDocument::Sections() const {
  std::vector<std::string> Result;
  std::unordered_set<std::string> Seen;
  for (const TLine& Line : FLines) {
    if (Line.Kind == TLineKind::Header && Seen.insert(Line.Match).second) Result.push_back(Line.Name);
  }
  return Result;
}

bool TIniDocument::HasSection(std::string_view Section) const {
  return FindHeader(AnsiUpperCase(Section), 0) != NotFound;
}

void TIniDocument::InsertLine(std::size_t Position, std::string Text) {
  if (Position > 0 && FLines[Position - 1].Ending.empty()) FLines[Position - 1].Ending = LineEnd;
  FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(Position), MakeLine(std::move(Text), LineEnd));
}

void TIniDocument::SetValue(std::string_view Section, std::string_view Key, std::string_view Value) {
  const std::string Entry = std::string(Key) + "=" + std::string(Value);
  const std::size_t Header = FindHeader(AnsiUpperCase(Section), 0);
  if (Header == NotFound) {
    InsertLine(FLines.size(), "[" + std::string(Section) + "]");
    InsertLine(FLines.size(), Entry);
    return;
  }
  const std::size_t Existing = FindEntry(Header, AnsiUpperCase(Key));
  if (Existing != NotFound) {
    TLine& Line = FLines[Existing];
    Line = MakeLine(Line.Name + "=" + std::string(Value), Line.Ending);
    return;
  }
  std::size_t After = Header;
  const std::size_t End = SectionEnd(Header);
  for (std::size_t i = Header + 1; i < End; ++i) {
    if (FLines[i].Kind == TLineKind::Entry) After = i;
  }
  InsertLine(After + 1, Entry);
}

bool TIniDocument::DeleteKey(std::string_view Section, std::string_view Key) {
  const std::string SectionMatch = AnsiUpperCase(Section);
  const std::string KeyMatch = AnsiUpperCase(Key);
  bool Deleted = false;
  for (std::size_t Header = FindHeader(SectionMatch, 0); Header != NotFound;
       Header = FindHeader(SectionMatch, Header + 1)) {
    for (std::size_t Entry = FindEntry(Header, KeyMatch); Entry != NotFound; Entry = FindEntry(Header, KeyMatch)) {
      FLines.erase(FLines.begin() + static_cast<std::ptrdiff_t>(Entry));
      Deleted = true;
    }
  }
  return Deleted;
}

bool TIniDocument::EraseSection(std::string_view Section) {
  const std::string Match = AnsiUpperCase(Section);
  bool Erased = false;
  for (std::size_t Header = FindHeader(Match, 0); Header != NotFound; Header = FindHeader(Match, Header)) {
    FLines.erase(FLines.begin() + static_cast<std::ptrdiff_t>(Header),
                 FLines.begin() + static_cast<std::ptrdiff_t>(SectionEnd(Header)));
    Erased = true;
  }
  return Erased;
}

}  // namespace relaybird
