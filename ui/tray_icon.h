#pragma once
// The notification-area icon and a timer, as components. User-interface
// thread only.
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>

#include "ui/menus.h"

namespace relaybird {

class TTrayIcon : public TControl<QSystemTrayIcon> {
 public:
  using TControl::TControl;
  std::vector<TPublishedProperty> PublishedProperties() override;
  TPopupMenu* PopupMenu = nullptr;
  std::string BalloonHint;
  std::string BalloonTitle;
};

class TTimer : public TControl<QTimer> {
 public:
  // Off at creation.
  TTimer(const std::string& Name, QObject* Parent, int Interval);
  bool Enabled() const { return FObject->isActive(); }
  void SetEnabled(bool Enabled);
  std::function<void()> OnTimer;
};

}  // namespace relaybird
