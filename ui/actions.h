#pragma once
// Actions with an execute and an update event, and the list that runs the
// update events whenever the event loop runs out of work (the toolkit's idle
// time). User-interface thread only.
#include <QAction>
#include <functional>
#include <memory>
#include <string>

#include "ui/control.h"

namespace relaybird {

class TAction : public TControl<QAction> {
 public:
  // The Qt action is created as a child of Parent.
  TAction(const std::string& Name, QObject* Parent, const std::string& Caption,
          const std::string& Category = "");
  std::vector<TPublishedProperty> PublishedProperties() override;

  std::string Caption() const { return ToStd(FObject->text()); }
  void SetCaption(const std::string& Caption) { FObject->setText(ToQt(Caption)); }
  std::string Hint() const { return ToStd(FObject->toolTip()); }
  void SetHint(const std::string& Hint);
  bool Enabled() const { return FObject->isEnabled(); }
  void SetEnabled(bool Enabled) { FObject->setEnabled(Enabled); }
  bool Visible() const { return FObject->isVisible(); }
  void SetVisible(bool Visible) { FObject->setVisible(Visible); }

  std::string Category;
  // Runs when the user triggers the action; Sender is the action.
  std::function<void(TAction* Sender)> OnExecute;
  std::function<void(TAction* Sender)> OnUpdate;
};

class TActionList : public TComponent {
 public:
  explicit TActionList(const std::string& Name);
  ~TActionList() override;
  void Add(TAction* Action) { FActions.push_back(Action); }
  // The update events of the actions, then OnUpdate of the list.
  void UpdateActions();
  std::function<void()> OnUpdate;

 private:
  std::vector<TAction*> FActions;
  std::unique_ptr<QObject> FIdleContext;
};

}  // namespace relaybird
