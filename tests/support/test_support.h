#pragma once
// Small helpers shared by the test programs.
#include <string>
#include <utility>
#include <vector>

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
// The texts of a process log's lines, without their "[date time]  " stamps.
std::vector<std::string> ProcessLogTexts(const std::string& FileName);

// A program run in the service role in the foreground, as a service manager
// runs it; stopped at the latest when this object goes.
class TServiceProcess {
 public:
  explicit TServiceProcess(std::string Program) : FProgram(std::move(Program)) {}
  ~TServiceProcess();
  TServiceProcess(const TServiceProcess&) = delete;
  TServiceProcess& operator=(const TServiceProcess&) = delete;
  void Start();
  // SIGTERM, as the service manager stops it; the exit status.
  int Stop();

 private:
  std::string FProgram;
  int FPid = -1;
};

}  // namespace relaybird::test
