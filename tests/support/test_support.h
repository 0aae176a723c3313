#pragma once
// Small helpers shared by the test programs.
#include <string>

namespace relaybird::test {

// A fresh directory under /tmp, removed with everything in it on destruction.
class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  // With a trailing '/'.
  const std::string& Path() const { return FPath; }

 private:
  std::string FPath;
};

std::string ReadFileBytes(const std::string& FileName);
void WriteFileBytes(const std::string& FileName, const std::string& Bytes);
// Removes a file or a directory tree; no error when it is missing.
void RemovePath(const std::string& Path);
// Copies the relaybird executable and the shared libraries beside it
// (lib*.so) from BinDir into Dir: a program tree of its own.
void CopyProgram(const std::string& BinDir, const std::string& Dir);

}  // namespace relaybird::test
