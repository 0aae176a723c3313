#pragma once
// Tool bars and their buttons and separators; a button's visibility is its
// own, apart from the visibility of the action it runs. User-interface
// thread only.
#include <QToolBar>
#include <QToolButton>

#include "ui/actions.h"

namespace relaybird {

class TToolBar : public TControl<QToolBar> {
 public:
  using TControl::TControl;
  std::vector<TPublishedProperty> PublishedProperties() override;
};

class TToolButton : public TControl<QToolButton> {
 public:
  // A button running Action, appended to Bar.
  TToolButton(const std::string& Name, TToolBar& Bar, TAction& Action);
  // A button of its own (a drop-down menu button), appended to Bar.
  TToolButton(const std::string& Name, TToolBar& Bar, QToolButton* Button);
  // A separator, appended to Bar.
  TToolButton(const std::string& Name, TToolBar& Bar);
  std::vector<TPublishedProperty> PublishedProperties() override;

  bool Visible() const { return FSlot && FSlot->isVisible(); }
  void SetVisible(bool Visible);

 private:
  QPointer<QAction> FSlot;
};

}  // namespace relaybird
