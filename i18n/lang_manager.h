#pragma once
// Which language file is active and which ones lie in Langs beside the program.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "relaybird/export.h"

namespace relaybird {

// The menu the language items hang under, as the manager sees it. Its owner
// calls TLangManager::ReleaseMenu before destroying it.
class RELAYBIRD_API TLangMenu {
 public:
  virtual ~TLangMenu() = default;
  // A radio item of group 1; a click on it calls LangMenuClick with Hint.
  virtual void AddItem(const std::string& Caption, const std::string& Hint, bool Checked) = 0;
  virtual void CheckItem(const std::string& Hint) = 0;
  virtual void ClearItems() = 0;
};

class RELAYBIRD_API TLangManager {
 public:
  // LoadLangSettings, then ScanLanguages.
  TLangManager();

  void LoadLangSettings();
  void ScanLanguages();
  ~TLangManager();
  TLangManager(const TLangManager&) = delete;
  TLangManager& operator=(const TLangManager&) = delete;

  void SetLangPath(const std::string& FileName);
  void SaveLangSettings();

  // Null does nothing; otherwise Menu is kept and filled.
  void SetMenu(TLangMenu* NewMenu);
  void BuildLangMenu();
  // The item naming Hint was clicked. A failed save of the choice raises
  // before the item is checked or OnChange runs.
  void LangMenuClick(const std::string& Hint);
  // The menu is about to be destroyed: the manager lets go of it.
  void ReleaseMenu(const TLangMenu* Gone);

  TLangMenu* Menu = nullptr;
  std::function<void()> OnChange;

  std::string LangPath;
  // (file path, offered name) in the order found.
  std::vector<std::pair<std::string, std::string>> Languages;

  // The directory "Langs/" beside the executable and the default file in it.
  static std::string LangsDir();
  static std::string DefaultLangPath();
};

extern RELAYBIRD_API TLangManager* LangManager;
RELAYBIRD_API void CreateLangManager();
RELAYBIRD_API void FreeLangManager();

}  // namespace relaybird
