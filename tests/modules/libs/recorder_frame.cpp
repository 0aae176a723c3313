// The settings page of the framed test modules: one edit bound to key "Value"
// of the module's own section. It records its life in the module's record
// file, so that a test sees whether the window ends it before the library
// goes. RB_FAULT_FrameCreate "throw" makes the factory raise.
#include <QLineEdit>
#include <QVBoxLayout>
#include <stdexcept>

#include "relaybird/ini_file.h"
#include "relaybird/settings.h"
#include "ui/base_settings_frame.h"

void RecordFrameCall(const std::string& Line);
std::string FrameFault();

namespace {

using namespace relaybird;

class TfrRecorderSettings : public TfrBaseSettings {
 public:
  TfrRecorderSettings() {
    auto* Layout = new QVBoxLayout(this);
    FValue = new QLineEdit(this);
    FValue->setObjectName("edValue");
    Layout->addWidget(FValue);
    Layout->addStretch(1);
    QObject::connect(FValue, &QLineEdit::textEdited, this, [this] { FrameChanged(); });
  }
  ~TfrRecorderSettings() override { RecordFrameCall("~Frame"); }
  void InitFrame() override { RecordFrameCall("InitFrame"); }
  void DoneFrame() override { RecordFrameCall("DoneFrame"); }
  void LoadFrameSettings() override {
    FValue->setText(QString::fromStdString(TIniFile(SettingsFileName).ReadString(RB_MODULE_ID, "Value", "")));
    Modified = false;
  }
  void SaveFrameSettings() override {
    TIniFile(SettingsFileName).WriteString(RB_MODULE_ID, "Value", FValue->text().toStdString());
    Modified = false;
  }
  void GetFrameCaption(std::string& Caption) override { Caption = std::string("Page of ") + RB_MODULE_ID; }

 private:
  QLineEdit* FValue;
};

TfrBaseSettings* CreateFrame(QWidget* Owner) {
  if (FrameFault() == "throw") throw std::runtime_error("the recorder's page refuses");
  auto* Frame = new TfrRecorderSettings;
  if (Owner) Frame->setParent(Owner);
  return Frame;
}

const TSettingsFrameClass RecorderFrameClass{"TfrRecorderSettings", CreateFrame};

// Runs at dlclose: a frame still alive then would run code that is gone.
struct TUnloadRecord {
  ~TUnloadRecord() { RecordFrameCall("Unload"); }
} UnloadRecord;

}  // namespace

// ALPHA and GAMMA share the one class.
const TSettingsFrameClass* RecorderFrame(const std::string& Service) {
  return Service == "ALPHA" || Service == "GAMMA" ? &RecorderFrameClass : nullptr;
}
