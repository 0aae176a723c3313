#pragma once
// The settings page of the e-mail service: every key of section "MAIL".
// Lives in a library of its own (see settings_frame_loader.h). User-interface
// thread only.
#include <QCheckBox>
#include <QPlainTextEdit>

#include "mail_settings.h"
#include "ui/base_settings_frame.h"
#include "ui/controls.h"
#include "ui/spin_edit.h"

namespace relaybird::mail {

class TfrMailSettings : public TfrBaseSettings {
 public:
  static constexpr const char* ClassName = "TfrMailSettings";

  TfrMailSettings();

  void InitFrame() override;
  void LoadFrameSettings() override;
  // Raises, and stores nothing, when the host is blank or the sender address
  // is not one.
  void SaveFrameSettings() override;
  void GetFrameCaption(std::string& Caption) override;

  TGroupBox* grpServer;
  TLabel* lblSmtpHost;
  TEdit* edSmtpHost;
  TLabel* lblSmtpPort;
  TSpinEdit* sedSmtpPort;
  TLabel* lblSmtpSecurity;
  TComboBox* cbbSmtpSecurity;
  TButton* cbVerifyCertificate;
  TLabel* lblCAFile;
  TEdit* edCAFile;
  TLabel* lblConnectTimeout;
  TSpinEdit* sedConnectTimeout;
  TLabel* lblCommandTimeout;
  TSpinEdit* sedCommandTimeout;

  TGroupBox* grpAuth;
  TLabel* lblSmtpUser;
  TEdit* edSmtpUser;
  TLabel* lblSmtpPassword;
  TEdit* edSmtpPassword;

  TGroupBox* grpSender;
  TLabel* lblSenderAddress;
  TEdit* edSenderAddress;
  TLabel* lblSenderName;
  TEdit* edSenderName;
  TButton* cbReadReceipt;

  TGroupBox* grpDispatch;
  TLabel* lblPeriod;
  TSpinEdit* sedPeriod;
  TComboBox* cbbPeriodType;
  TLabel* lblBroadcast;
  TSpinEdit* sedBroadcast;
  TButton* cbLogging;

  TGroupBox* grpResult;
  QPlainTextEdit* mmResultStatement;

 private:
  // What the controls hold now.
  TMailSettings Shown() const;
  void Changed();
  void SenderAddressEdited();

  // Set while the stored values are put into the controls.
  bool FLoading = false;
};

}  // namespace relaybird::mail
