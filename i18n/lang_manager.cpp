#include "i18n/lang_manager.h"

#include <dirent.h>

#include <exception>
#include <memory>

#include "core/file_helpers.h"
#include "relaybird/settings.h"
#include "platform/exe_path.h"
#include "relaybird/ini_file.h"
#include "platform/message_box.h"
#include "platform/text_encoding.h"

namespace relaybird {

TLangManager* LangManager = nullptr;

namespace {

const char* const SettingsSection = "Languages";
const char* const SettingsKey = "LangPath";
const char* const LanguageFileMask = "Lang_*.ini";

// Entry names of Dir in the order the listing returns them; none when the
// directory cannot be read.
std::vector<std::string> ListDirectory(const std::string& Dir) {
  std::vector<std::string> Names;
  const std::unique_ptr<DIR, int (*)(DIR*)> Listing(opendir(Dir.c_str()), &closedir);
  if (!Listing) return Names;
  while (const dirent* Entry = readdir(Listing.get())) Names.emplace_back(Entry->d_name);
  return Names;
}

}  // namespace

TLangManager::TLangManager() {
  LoadLangSettings();
  ScanLanguages();
}

TLangManager::~TLangManager() {
  if (Menu) Menu->ClearItems();
}

std::string TLangManager::LangsDir() { return ExecutableDir() + "Langs/"; }

std::string TLangManager::DefaultLangPath() { return LangsDir() + "Lang_en.ini"; }

void TLangManager::LoadLangSettings() {
  const std::string Default = DefaultLangPath();
  LangPath = TIniFile(SettingsFileName).ReadString(SettingsSection, SettingsKey, Default);
  if (!FileExists(LangPath)) {
    const std::string InLangs = LangsDir() + ExtractFileName(LangPath);
    LangPath = FileExists(InLangs) ? InLangs : Default;
  }
  // A fresh installation gets Langs/, where its language files are to go.
  const std::string Dir = ExtractFilePath(LangPath);
  if (!Dir.empty() && !DirectoryExists(Dir)) ForceDirectories(Dir);
}

void TLangManager::ScanLanguages() {
  const std::string Dir = LangsDir();
  for (const std::string& Name : ListDirectory(Dir)) {
    if (!MatchesMask(Name, LanguageFileMask)) continue;
    try {
      const std::string Path = Dir + Name;
      Languages.emplace_back(Path, TIniFile(Path).ReadString("LANG", "Value", ""));
    } catch (const std::exception& Error) {
      ShowMessageBox(TMessageKind::Error, "Error", Error.what());
    }
  }
}

void TLangManager::SetLangPath(const std::string& FileName) {
  LangPath = FileName;
  SaveLangSettings();
}

void TLangManager::SaveLangSettings() {
  TIniFile(SettingsFileName).WriteString(SettingsSection, SettingsKey, LangPath);
}

void TLangManager::SetMenu(TLangMenu* NewMenu) {
  if (!NewMenu) return;
  Menu = NewMenu;
  BuildLangMenu();
}

void TLangManager::BuildLangMenu() {
  if (!Menu) return;
  for (const auto& [Path, Name] : Languages) {
    try {
      Menu->AddItem(Name, Path, SameText(Path, LangPath));
    } catch (const std::exception& Error) {
      ShowMessageBox(TMessageKind::Error, "Error", Error.what());
    }
  }
}

void TLangManager::LangMenuClick(const std::string& Hint) {
  if (SameText(Hint, LangPath)) return;
  SetLangPath(Hint);
  if (Menu) Menu->CheckItem(Hint);
  if (OnChange) OnChange();
}

void TLangManager::ReleaseMenu(const TLangMenu* Gone) {
  if (Menu == Gone) Menu = nullptr;
}

void CreateLangManager() {
  if (!LangManager) LangManager = new TLangManager();
}

void FreeLangManager() {
  delete LangManager;
  LangManager = nullptr;
}

}  // namespace relaybird
