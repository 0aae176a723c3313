#pragma once
// Which language file is active and which ones lie in Langs beside the program.
#include <string>
#include <utility>
#include <vector>

#include "relaybird/export.h"

namespace relaybird {

class RELAYBIRD_API TLangManager {
 public:
  // LoadLangSettings, then ScanLanguages.
  TLangManager();

  void LoadLangSettings();
  void ScanLanguages();
  void SetLangPath(const std::string& FileName);
  void SaveLangSettings();

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
