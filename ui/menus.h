#pragma once
// Pop-up menus and their named items (separators, submenus). Items that run
// an action are the action's own Qt action. User-interface thread only.
#include <QAction>
#include <QMenu>

#include "ui/control.h"

namespace relaybird {

class TPopupMenu : public TControl<QMenu> {
 public:
  using TControl::TControl;
};

class TMenuItem : public TControl<QAction> {
 public:
  using TControl::TControl;
  std::vector<TPublishedProperty> PublishedProperties() override;
};

}  // namespace relaybird
