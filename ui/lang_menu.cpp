#include "ui/lang_menu.h"

#include <exception>

#include "platform/message_box.h"
#include "ui/qt_text.h"

namespace relaybird {

TLangMenuItems::TLangMenuItems(QMenu* Menu) : FMenu(Menu) {}

TLangMenuItems::~TLangMenuItems() {
  if (LangManager) LangManager->ReleaseMenu(this);
}

void TLangMenuItems::AddItem(const std::string& Caption, const std::string& Hint, bool Checked) {
  if (!FMenu) return;
  QAction* Item = FMenu->addAction(ToQt(Caption));
  Item->setStatusTip(ToQt(Hint));
  Item->setCheckable(true);
  Item->setChecked(Checked);
  QObject::connect(Item, &QAction::triggered, Item, [Item, Hint] {
    // Checked only through CheckItem, once the choice is saved.
    Item->setChecked(!Item->isChecked());
    try {
      if (LangManager) LangManager->LangMenuClick(Hint);
    } catch (const std::exception& Error) {
      ShowMessageBox(TMessageKind::Error, "Error", Error.what());
    }
  });
}

void TLangMenuItems::CheckItem(const std::string& Hint) {
  if (!FMenu) return;
  for (QAction* Item : FMenu->actions())
    if (Item->isCheckable()) Item->setChecked(Item->statusTip() == ToQt(Hint));
}

void TLangMenuItems::ClearItems() {
  if (!FMenu) return;
  for (QAction* Item : FMenu->actions())
    if (Item->isCheckable()) {
      FMenu->removeAction(Item);
      Item->deleteLater();
    }
}

}  // namespace relaybird
