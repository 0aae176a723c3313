#pragma once
// A window that is also the root component of its own components, so that
// the form translator walks it under its name. User-interface thread only.
#include <QEventLoop>
#include <QWidget>

#include "ui/menus.h"

namespace relaybird {

// A top-level window. Shown modally it keeps its modal loop while it is
// hidden (to the notification area) and ends it only through Close.
class TForm : public QWidget, public TComponent {
 public:
  explicit TForm(const std::string& Name, QWidget* Parent = nullptr);
  std::vector<TPublishedProperty> PublishedProperties() override;
  // Shows the window and returns when Close is called.
  void ShowModal();
  void Close();
  bool Closed() const { return FClosed; }
  TPopupMenu* PopupMenu = nullptr;

 private:
  bool FClosed = false;
  QEventLoop* FModalLoop = nullptr;
};

}  // namespace relaybird
