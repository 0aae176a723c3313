#include "ui/tool_bar.h"

namespace relaybird {

std::vector<TPublishedProperty> TToolBar::PublishedProperties() {
  return {ObjectText("Caption", [](QToolBar* B) { return B->windowTitle(); },
                     [](QToolBar* B, const QString& Text) { B->setWindowTitle(Text); }),
          HintProperty()};
}

TToolButton::TToolButton(const std::string& Name, TToolBar& Bar, TAction& Action)
    : TToolButton(Name, Bar, new QToolButton(Bar.Object())) {
  FObject->setDefaultAction(Action.Object());
  // The tool bar enables a button as its slot says whenever the slot changes
  // (shown or hidden): the slot follows the action.
  QAction* Runs = Action.Object();
  FSlot->setEnabled(Runs->isEnabled());
  QObject::connect(Runs, &QAction::changed, FSlot.data(), [Slot = FSlot, Runs] {
    if (Slot) Slot->setEnabled(Runs->isEnabled());
  });
}

TToolButton::TToolButton(const std::string& Name, TToolBar& Bar, QToolButton* Button)
    : TControl(Name, Button) {
  Button->setToolButtonStyle(Bar->toolButtonStyle());
  Button->setMinimumSize(84, 36);
  FSlot = Bar->addWidget(Button);
}

TToolButton::TToolButton(const std::string& Name, TToolBar& Bar) : TControl(Name, nullptr) {
  FSlot = Bar->addSeparator();
  FSlot->setObjectName(ToQt(Name));
}

void TToolButton::SetVisible(bool Visible) {
  if (FSlot) FSlot->setVisible(Visible);
}

std::vector<TPublishedProperty> TToolButton::PublishedProperties() {
  return {ObjectText("Caption", [](QToolButton* B) { return B->text(); },
                     [](QToolButton* B, const QString& Text) { B->setText(Text); }),
          HintProperty()};
}

}  // namespace relaybird
