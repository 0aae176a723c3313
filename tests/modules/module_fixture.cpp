#include "module_fixture.h"

#include <dlfcn.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

#include "core/settings_file.h"
#include "relaybird/settings.h"
#include "relaybird/process_log.h"
#include "platform/exe_path.h"
#include "service/message_intake.h"

extern char** environ;

namespace relaybird::test {

namespace {

std::recursive_mutex TestLogLock;

void ClearModuleEnv() {
  std::vector<std::string> Names;
  for (char** Entry = environ; *Entry; ++Entry) {
    const std::string Text = *Entry;
    if (Text.rfind("RB_", 0) == 0) Names.push_back(Text.substr(0, Text.find('=')));
  }
  for (const std::string& Name : Names) unsetenv(Name.c_str());
}

}  // namespace

void TModuleFixture::RemoveFilesBesideTheProgram() {
  RemovePath(TModuleFixture::ProtocolsDir());
  RemovePath(TModuleFixture::SettingsFile());
  RemovePath(ExecutableDir() + "default.ini");
  RemovePath(ExecutableDir() + "Relaybird_Errors.log");
}

void TModuleFixture::SetUp() {
  ClearModuleEnv();
  RemoveFilesBesideTheProgram();
  InitSettingsFileName();
  SetLogLock(&TestLogLock);
  SetModuleEnv("RB_RECORD_FILE", FRecordDir.Path() + "calls.txt");
}

void TModuleFixture::TearDown() {
  ClearModuleEnv();
  RemoveFilesBesideTheProgram();
}

std::string TModuleFixture::ProtocolsDir() { return ExecutableDir() + "Protocols/"; }

std::string TModuleFixture::SettingsFile() { return ExecutableDir() + "Relaybird.ini"; }

std::string TModuleFixture::Install(const std::string& Library, const std::string& Subfolder) {
  const std::string Folder = ProtocolsDir() + Subfolder;
  std::filesystem::create_directories(Folder);
  const std::string Target = Folder + Library + ".so";
  std::filesystem::copy_file(std::string(RB_TEST_MODULE_DIR) + Library + ".so", Target,
                             std::filesystem::copy_options::overwrite_existing);
  return Target;
}

void TModuleFixture::WriteSettings(const std::string& Text) { WriteFileBytes(SettingsFile(), Text); }

std::vector<std::vector<std::string>> TModuleFixture::Calls() const {
  std::vector<std::vector<std::string>> Calls;
  std::ifstream In(FRecordDir.Path() + "calls.txt");
  std::string Line;
  while (std::getline(In, Line)) {
    // A letter body with line breaks goes on over lines of its own; every
    // call begins with its library's tag.
    if (!Calls.empty() && !Line.starts_with("rb_")) {
      Calls.back().back() += "\n" + Line;
      continue;
    }
    std::vector<std::string> Fields;
    std::stringstream Split(Line);
    std::string Field;
    while (std::getline(Split, Field, '|')) Fields.push_back(Field);
    if (Line.ends_with("|")) Fields.emplace_back();
    Calls.push_back(Fields);
  }
  return Calls;
}

std::vector<std::string> TModuleFixture::CallNames() const {
  std::vector<std::string> Names;
  for (const auto& Call : Calls()) Names.push_back(Call.at(1));
  return Names;
}

void TModuleFixture::ForgetCalls() const { RemovePath(FRecordDir.Path() + "calls.txt"); }

void SetModuleEnv(const std::string& Name, const std::string& Value) { setenv(Name.c_str(), Value.c_str(), 1); }

bool LibraryMapped(const std::string& Path) {
  void* Handle = dlopen(Path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (!Handle) return false;
  dlclose(Handle);
  return true;
}

void DefineMessageTable(TVirtualTable& Table) {
  AddMessageFields(Table);
  Table.Open();
}

void DispatchOnce(TModule& Module, const std::string& Service, const std::string& ProcessID,
                  TOraSession& Session, std::recursive_mutex& Lock, std::vector<std::uint8_t>& Block,
                  TVirtualTable& Messages) {
  Module.Initialize(Service, ProcessID);
  Module.SetData(Service, ProcessID, mdkSession, &Session, 36);
  Module.SetData(Service, ProcessID, mdkLock, &Lock, 4);
  Module.SetData(Service, ProcessID, mdkSettings, Block.data(), 36);
  Module.SetData(Service, ProcessID, mdkMessages, &Messages, 4);
  Messages.Clear();
  Module.Execute(Service, ProcessID);
}

}  // namespace relaybird::test
