#include "ui/tray_icon.h"

namespace relaybird {

std::vector<TPublishedProperty> TTrayIcon::PublishedProperties() {
  return {TextProperty("BalloonHint", [this] { return BalloonHint; },
                       [this](const std::string& Text) { BalloonHint = Text; }),
          TextProperty("BalloonTitle", [this] { return BalloonTitle; },
                       [this](const std::string& Text) { BalloonTitle = Text; }),
          ObjectText("Hint", [](QSystemTrayIcon* I) { return I->toolTip(); },
                     [](QSystemTrayIcon* I, const QString& Text) { I->setToolTip(Text); }),
          ObjectProperty("PopupMenu", [this] { return static_cast<TPersistent*>(PopupMenu); })};
}

TTimer::TTimer(const std::string& Name, QObject* Parent, int Interval) : TControl(Name, new QTimer(Parent)) {
  FObject->setInterval(Interval);
  QObject::connect(FObject.data(), &QTimer::timeout, FObject.data(), [this] {
    if (OnTimer) OnTimer();
  });
}

void TTimer::SetEnabled(bool Enabled) {
  if (Enabled)
    FObject->start();
  else
    FObject->stop();
}

}  // namespace relaybird
