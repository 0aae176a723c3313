#include "ui/actions.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

namespace relaybird {

TAction::TAction(const std::string& Name, QObject* Parent, const std::string& Caption,
                 const std::string& Category)
    : TControl(Name, new QAction(ToQt(Caption), Parent)), Category(Category) {
  QObject::connect(FObject.data(), &QAction::triggered, FObject.data(), [this] {
    if (OnExecute) OnExecute(this);
  });
}

void TAction::SetHint(const std::string& Hint) {
  FObject->setToolTip(ToQt(Hint));
  FObject->setStatusTip(ToQt(Hint));
}

std::vector<TPublishedProperty> TAction::PublishedProperties() {
  return {TextProperty("Caption", [this] { return FObject ? Caption() : std::string(); },
                       [this](const std::string& Text) {
                         if (FObject) SetCaption(Text);
                       }),
          TextProperty("Category", [this] { return Category; },
                       [this](const std::string& Text) { Category = Text; }),
          TextProperty("Hint", [this] { return FObject ? Hint() : std::string(); },
                       [this](const std::string& Text) {
                         if (FObject) SetHint(Text);
                       })};
}

TActionList::TActionList(const std::string& Name) : TComponent(Name), FIdleContext(std::make_unique<QObject>()) {
  if (auto* Dispatcher = QAbstractEventDispatcher::instance())
    QObject::connect(Dispatcher, &QAbstractEventDispatcher::aboutToBlock, FIdleContext.get(),
                     [this] { UpdateActions(); });
}

TActionList::~TActionList() = default;

void TActionList::UpdateActions() {
  for (TAction* Action : FActions)
    if (Action->OnUpdate && Action->Object()) Action->OnUpdate(Action);
  if (OnUpdate) OnUpdate();
}

}  // namespace relaybird
