#pragma once
// An INI file with the private-profile semantics the settings and language
// files rely on: every operation opens, reads or rewrites, and closes the
// file; nothing is cached between calls. Thread-safe and safe across
// processes: each write is one locked, atomic rewrite of the file.
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "relaybird/export.h"

namespace relaybird {

// A write the system refuses: "Unable to write to <file name>: <reason>".
class RELAYBIRD_API EIniFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class RELAYBIRD_API TIniFile {
 public:
  // Values longer than this are cut when read (the platform's read buffer).
  static constexpr std::size_t MaxValueLength = 2047;

  explicit TIniFile(std::string FileName);
  const std::string& FileName() const { return FFileName; }

  // Names match without regard to case; a key given twice answers with its
  // first occurrence. Blanks around the value and one pair of matching
  // surrounding quotes are removed.
  std::string ReadString(const std::string& Section, const std::string& Key,
                         const std::string& Default) const;
  // Not a whole decimal number -> Default.
  int ReadInteger(const std::string& Section, const std::string& Key, int Default) const;
  // 0 -> false, any other whole number -> true, not a number -> Default.
  bool ReadBool(const std::string& Section, const std::string& Key, bool Default) const;

  // Key names of a section in file order (empty when there is no such section).
  std::vector<std::string> ReadSection(const std::string& Section) const;
  // Key/value pairs of a section in file order, values read as ReadString does.
  std::vector<std::pair<std::string, std::string>> ReadSectionValues(const std::string& Section) const;
  // Section names in file order.
  std::vector<std::string> ReadSections() const;
  // A header of that name is in the file, even with no keys under it.
  bool SectionExists(const std::string& Section) const;
  bool ValueExists(const std::string& Section, const std::string& Key) const;

  // Writes replace the key's value in place, or append the key at the end of
  // its section, or append the section at the end of the file (creating the
  // file). The value is stored as given, except that a line break becomes a
  // blank. Each write is an atomic rewrite under an advisory lock. A file that
  // may not be written (read-only, or its directory missing or not writable)
  // raises EIniFileError and stays as it was. Deleting from a missing file
  // leaves it missing.
  void WriteString(const std::string& Section, const std::string& Key, const std::string& Value);
  void WriteInteger(const std::string& Section, const std::string& Key, int Value);
  void WriteBool(const std::string& Section, const std::string& Key, bool Value);
  void DeleteKey(const std::string& Section, const std::string& Key);
  void EraseSection(const std::string& Section);

 private:
  std::string FFileName;
};

}  // namespace relaybird
