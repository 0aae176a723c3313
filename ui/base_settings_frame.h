#pragma once
// The base of the settings pages that protocol modules offer: the window
// places a frame on a page of its own, loads and saves it with the service
// settings and listens to its change and status events. User-interface
// thread only.
#include <QFrame>
#include <functional>
#include <string>

#include "i18n/persistent.h"
#include "relaybird/module_abi.h"

namespace relaybird {

class TfrBaseSettings : public QFrame, public TComponent {
 public:
  // 320 by 240 pixels until the window aligns it to its page.
  explicit TfrBaseSettings(QWidget* Parent = nullptr);

  // After the frame is placed on its page.
  virtual void InitFrame() {}
  // Before the frame is freed.
  virtual void DoneFrame() {}
  virtual void LoadFrameSettings() {}
  virtual void SaveFrameSettings() {}
  // The caption of the frame's page.
  virtual void GetFrameCaption(std::string& Caption) { Caption = Name(); }

  // Unsaved changes.
  bool Modified = false;
  std::function<void()> OnFrameChange;
  std::function<void(const std::string& Text)> OnFrameStatus;

 protected:
  // For the controls of derived frames: marks the frame modified and tells
  // the window.
  void FrameChanged();
  void FrameStatus(const std::string& Text);
};

}  // namespace relaybird
