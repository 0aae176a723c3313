#pragma once
// The language items of a pop-up menu, built by the language manager.
// User-interface thread only.
#include <QMenu>
#include <QPointer>

#include "i18n/lang_manager.h"

namespace relaybird {

class TLangMenuItems : public TLangMenu {
 public:
  explicit TLangMenuItems(QMenu* Menu);
  // Lets go of the language manager before the items go.
  ~TLangMenuItems() override;
  void AddItem(const std::string& Caption, const std::string& Hint, bool Checked) override;
  void CheckItem(const std::string& Hint) override;
  void ClearItems() override;

 private:
  QPointer<QMenu> FMenu;
};

}  // namespace relaybird
