#include "relaybird/ini_file.h"

#include <functional>

#include "platform/ini_document.h"
#include "platform/locked_rewrite.h"
#include "platform/text_encoding.h"

namespace relaybird {

namespace {

TIniDocument ReadDocument(const std::string& FileName) { return TIniDocument(DecodeTextFile(ReadWholeFile(FileName))); }

// Blanks around a value and one pair of matching quotes go, as the platform's
// read does; the read buffer then limits the length.
std::string CleanValue(std::string_view Raw) {
  std::string Value = Trim(Raw);
  if (Value.size() >= 2 && (Value.front() == '"' || Value.front() == '\'') && Value.back() == Value.front()) {
    Value = Value.substr(1, Value.size() - 2);
  }
  return Utf8Left(Value, TIniFile::MaxValueLength);
}

// A line break inside a name or value would start a line of its own and could
// forge keys or sections, so each becomes a blank. Text that is not UTF-8 is
// taken as Windows-1251 and converted, or the whole file would stop reading as
// UTF-8.
std::string StorableText(std::string_view Text) {
  std::string Result = IsValidUtf8(Text) ? std::string(Text) : Cp1251ToUtf8(Text);
  for (char& C : Result) {
    if (C == '\r' || C == '\n') C = ' ';
  }
  return Result;
}

void Rewrite(const std::string& FileName, bool CreateMissing, const std::function<bool(TIniDocument&)>& Edit) {
  std::string Reason;
  const bool Done = RewriteFileLocked(FileName, CreateMissing, [&Edit](std::string& Bytes) {
    TTextFileEncoding Encoding = TTextFileEncoding::Utf8;
    TIniDocument Document(DecodeTextFile(Bytes, &Encoding));
    if (!Edit(Document)) return false;
    // UTF-16 and UTF-8 with a BOM keep their form; everything else is
    // written as UTF-8, the program's own encoding.
    if (Encoding == TTextFileEncoding::Cp1251) Encoding = TTextFileEncoding::Utf8;
    Bytes = EncodeTextFile(Document.Text(), Encoding);
    return true;
  }, &Reason);
  if (!Done) throw EIniFileError("Unable to write to " + FileName + ": " + Reason);
}

}  // namespace

TIniFile::TIniFile(std::string FileName) : FFileName(std::move(FileName)) {}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Key,
                                 const std::string& Default) const {
  const auto Raw = ReadDocument(FFileName).Value(Trim(Section), Trim(Key));
  return Raw ? CleanValue(*Raw) : Default;
}

int TIniFile::ReadInteger(const std::string& Section, const std::string& Key, int Default) const {
  int Value = 0;
  return TryStrToInt(ReadString(Section, Key, std::string()), Value) ? Value : Default;
}

bool TIniFile::ReadBool(const std::string& Section, const std::string& Key, bool Default) const {
  int Value = 0;
  return TryStrToInt(ReadString(Section, Key, std::string()), Value) ? Value != 0 : Default;
}

std::vector<std::string> TIniFile::ReadSection(const std::string& Section) const {
  std::vector<std::string> Keys;
  for (auto& Entry : ReadDocument(FFileName).Entries(Trim(Section))) Keys.push_back(std::move(Entry.first));
  return Keys;
}

std::vector<std::pair<std::string, std::string>> TIniFile::ReadSectionValues(const std::string& Section) const {
  auto Entries = ReadDocument(FFileName).Entries(Trim(Section));
  for (auto& Entry : Entries) Entry.second = CleanValue(Entry.second);
  return Entries;
}

std::vector<std::string> TIniFile::ReadSections() const { return ReadDocument(FFileName).Sections(); }

bool TIniFile::SectionExists(const std::string& Section) const {
  return ReadDocument(FFileName).HasSection(Trim(Section));
}

bool TIniFile::ValueExists(const std::string& Section, const std::string& Key) const {
  return ReadDocument(FFileName).Value(Trim(Section), Trim(Key)).has_value();
}

void TIniFile::WriteString(const std::string& Section, const std::string& Key, const std::string& Value) {
  const std::string StoredSection = StorableText(Trim(Section));
  const std::string StoredKey = StorableText(Trim(Key));
  const std::string StoredValue = StorableText(Value);
  Rewrite(FFileName, true, [&](TIniDocument& Document) {
    Document.SetValue(StoredSection, StoredKey, StoredValue);
    return true;
  });
}

void TIniFile::WriteInteger(const std::string& Section, const std::string& Key, int Value) {
  WriteString(Section, Key, std::to_string(Value));
}

void TIniFile::WriteBool(const std::string& Section, const std::string& Key, bool Value) {
  WriteString(Section, Key, Value ? "1" : "0");
}

void TIniFile::DeleteKey(const std::string& Section, const std::string& Key) {
  Rewrite(FFileName, false, [&](TIniDocument& Document) { return Document.DeleteKey(Trim(Section), Trim(Key)); });
}

void TIniFile::EraseSection(const std::string& Section) {
  Rewrite(FFileName, false, [&](TIniDocument& Document) { return Document.EraseSection(Trim(Section)); });
}

}  // namespace relaybird
