#include "test_support.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace relaybird::test {

TTempDir::TTempDir() {
  std::string Template = (std::filesystem::temp_directory_path() / "relaybird-test-XXXXXX").string();
  if (!mkdtemp(Template.data())) throw std::runtime_error("mkdtemp failed");
  FPath = Template + "/";
}

TTempDir::~TTempDir() { RemovePath(FPath); }

std::string ReadFileBytes(const std::string& FileName) {
  std::ifstream In(FileName, std::ios::binary);
  if (!In) throw std::runtime_error("cannot read " + FileName);
  std::ostringstream Out;
  Out << In.rdbuf();
  return Out.str();
}

void WriteFileBytes(const std::string& FileName, const std::string& Bytes) {
  std::ofstream Out(FileName, std::ios::binary | std::ios::trunc);
  if (!Out) throw std::runtime_error("cannot write " + FileName);
  Out << Bytes;
}

void RemovePath(const std::string& Path) {
  std::error_code Ignored;
  std::filesystem::remove_all(Path, Ignored);
}

void CopyProgram(const std::string& BinDir, const std::string& Dir) {
  namespace fs = std::filesystem;
  for (const fs::directory_entry& Entry : fs::directory_iterator(BinDir)) {
    const std::string Name = Entry.path().filename().string();
    const bool Library = Name.rfind("lib", 0) == 0 && Entry.path().extension() == ".so";
    if (Name == "relaybird" || Library) {
      fs::copy_file(Entry.path(), fs::path(Dir) / Name, fs::copy_options::overwrite_existing);
    }
  }
}

std::vector<std::string> ProcessLogTexts(const std::string& FileName) {
  std::vector<std::string> Texts;
  std::ifstream In(FileName);
  std::string Line;
  while (std::getline(In, Line)) {
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    // "[dd.mm.yyyy hh:mm:ss.zzz]  text"
    const std::size_t Text = Line.find("]  ");
    if (Text != std::string::npos) Texts.push_back(Line.substr(Text + 3));
  }
  return Texts;
}

TServiceProcess::~TServiceProcess() {
  if (FPid > 0) Stop();
}

void TServiceProcess::Start() {
  FPid = fork();
  if (FPid == 0) {
    setenv("RELAYBIRD_FOREGROUND", "1", 1);
    execl(FProgram.c_str(), FProgram.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
}

int TServiceProcess::Stop() {
  kill(FPid, SIGTERM);
  int Status = 0;
  waitpid(FPid, &Status, 0);
  FPid = -1;
  return WIFEXITED(Status) ? WEXITSTATUS(Status) : 128 + WTERMSIG(Status);
}

}  // namespace relaybird::test
