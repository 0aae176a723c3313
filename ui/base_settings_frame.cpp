#include "ui/base_settings_frame.h"

namespace relaybird {

TfrBaseSettings::TfrBaseSettings(QWidget* Parent) : QFrame(Parent), TComponent("") { resize(320, 240); }

void TfrBaseSettings::FrameChanged() {
  Modified = true;
  if (OnFrameChange) OnFrameChange();
}

void TfrBaseSettings::FrameStatus(const std::string& Text) {
  if (OnFrameStatus) OnFrameStatus(Text);
}

}  // namespace relaybird
