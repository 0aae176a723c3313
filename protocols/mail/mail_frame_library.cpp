// The library of the e-mail settings page. The module opens it only when the
// window asks for the page, so the service process never loads the toolkit.
#include <memory>
#include <type_traits>

#include "mail_frame.h"
#include "settings_frame_loader.h"

namespace {

using namespace relaybird;

TfrBaseSettings* CreateMailFrame(QWidget* Owner) {
  auto Frame = std::make_unique<mail::TfrMailSettings>();
  if (Owner) Frame->setParent(Owner);
  return Frame.release();
}

const TSettingsFrameClass MailFrameClass{mail::TfrMailSettings::ClassName, CreateMailFrame};

}  // namespace

extern "C" __attribute__((visibility("default"))) const TSettingsFrameClass* MailSettingsFrame() {
  return &MailFrameClass;
}

static_assert(std::is_same_v<decltype(&MailSettingsFrame), relaybird::mail::TFrameEntryProc>);
