#pragma once
// A log file opened for one append and closed again, so that no handle is
// kept between calls. Every failure raises std::system_error.
#include <string>
#include <string_view>

namespace relaybird {

class TAppendFile {
 public:
  enum class TOpenMode { ExistingOnly, CreateMissing };

  TAppendFile(const std::string& FileName, TOpenMode Mode);
  ~TAppendFile();
  TAppendFile(const TAppendFile&) = delete;
  TAppendFile& operator=(const TAppendFile&) = delete;

  // Keeps other writers that take the same lock out while the file is open;
  // raises at once when one of them holds it.
  void LockAgainstWriters();
  void Write(std::string_view Bytes);
  void Close();

 private:
  std::string FFileName;
  int FHandle = -1;
};

}  // namespace relaybird
