#include "ui/menus.h"

namespace relaybird {

std::vector<TPublishedProperty> TMenuItem::PublishedProperties() {
  return {ObjectText("Caption", [](QAction* A) { return A->text(); },
                     [](QAction* A, const QString& Text) { A->setText(Text); }),
          ObjectText("Hint", [](QAction* A) { return A->statusTip(); },
                     [](QAction* A, const QString& Text) {
                       A->setToolTip(Text);
                       A->setStatusTip(Text);
                     })};
}

}  // namespace relaybird
