#include "mail_frame.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <stdexcept>

#include "i18n/translator.h"
#include "mail_address.h"
#include "relaybird/catalogue.h"
#include "relaybird/settings.h"
#include "relaybird/text_format.h"

namespace relaybird::mail {

namespace {

constexpr int MaxTextLength = 255;

}  // namespace

TfrMailSettings::TfrMailSettings() {
  auto* Columns = new QHBoxLayout(this);
  auto* Left = new QVBoxLayout;
  auto* Right = new QVBoxLayout;
  Columns->addLayout(Left, 1);
  Columns->addLayout(Right, 1);

  const auto Group = [this](const char* Name, const char* Caption, QVBoxLayout* Column) {
    auto* Box = new QGroupBox(QString::fromUtf8(Caption), this);
    Column->addWidget(Box);
    new QGridLayout(Box);
    return CreateComponent<TGroupBox>(*this, Name, Box);
  };
  const auto Grid = [](TGroupBox* Box) { return static_cast<QGridLayout*>(Box->Object()->layout()); };
  const auto Label = [this](TGroupBox* Box, const char* Name, const char* Caption) {
    return CreateComponent<TLabel>(*this, Name, new QLabel(QString::fromUtf8(Caption), Box->Object()));
  };
  const auto Edit = [this](TGroupBox* Box, const char* Name) {
    auto* Line = new QLineEdit(Box->Object());
    Line->setMaxLength(MaxTextLength);
    QObject::connect(Line, &QLineEdit::textEdited, this, [this] { Changed(); });
    return CreateComponent<TEdit>(*this, Name, Line);
  };
  const auto Spin = [this](TGroupBox* Box, const char* Name, int Least, int Most) {
    auto* Number = new TSpinBox(Box->Object());
    Number->setRange(Least, Most);
    QObject::connect(Number, &QSpinBox::valueChanged, this, [this] { Changed(); });
    return CreateComponent<TSpinEdit>(*this, Name, Number);
  };
  const auto Check = [this](TGroupBox* Box, const char* Name, const char* Caption) {
    auto* Flag = new QCheckBox(QString::fromUtf8(Caption), Box->Object());
    QObject::connect(Flag, &QCheckBox::toggled, this, [this] { Changed(); });
    return CreateComponent<TButton>(*this, Name, Flag);
  };
  const auto Choice = [this](TGroupBox* Box, const char* Name, std::initializer_list<const char*> Items) {
    auto* Combo = new QComboBox(Box->Object());
    for (const char* Item : Items) Combo->addItem(QString::fromUtf8(Item));
    QObject::connect(Combo, &QComboBox::currentIndexChanged, this, [this] { Changed(); });
    return CreateComponent<TComboBox>(*this, Name, Combo);
  };
  const auto Row = [Grid](TGroupBox* Box, TLabel* Caption, QWidget* Field) {
    QGridLayout* Layout = Grid(Box);
    const int At = Layout->rowCount();
    Layout->addWidget(Caption->Object(), At, 0);
    Layout->addWidget(Field, At, 1);
  };

  grpServer = Group("grpServer", "SMTP-сервер", Left);
  lblSmtpHost = Label(grpServer, "lblSmtpHost", "Адрес сервера");
  edSmtpHost = Edit(grpServer, "edSmtpHost");
  Row(grpServer, lblSmtpHost, edSmtpHost->Object());
  lblSmtpPort = Label(grpServer, "lblSmtpPort", "Порт");
  sedSmtpPort = Spin(grpServer, "sedSmtpPort", MinPort, MaxPort);
  Row(grpServer, lblSmtpPort, sedSmtpPort->Object());
  lblSmtpSecurity = Label(grpServer, "lblSmtpSecurity", "Защита соединения");
  cbbSmtpSecurity = Choice(grpServer, "cbbSmtpSecurity", {"Нет", "STARTTLS", "SSL/TLS"});
  Row(grpServer, lblSmtpSecurity, cbbSmtpSecurity->Object());
  cbVerifyCertificate = Check(grpServer, "cbVerifyCertificate", "Проверять сертификат сервера");
  Grid(grpServer)->addWidget(cbVerifyCertificate->Object(), Grid(grpServer)->rowCount(), 0, 1, 2);
  lblCAFile = Label(grpServer, "lblCAFile", "Файл корневых сертификатов");
  edCAFile = Edit(grpServer, "edCAFile");
  Row(grpServer, lblCAFile, edCAFile->Object());
  lblConnectTimeout = Label(grpServer, "lblConnectTimeout", "Ожидание соединения, с");
  sedConnectTimeout = Spin(grpServer, "sedConnectTimeout", 1, MaxTimeout);
  Row(grpServer, lblConnectTimeout, sedConnectTimeout->Object());
  lblCommandTimeout = Label(grpServer, "lblCommandTimeout", "Ожидание ответа, с");
  sedCommandTimeout = Spin(grpServer, "sedCommandTimeout", 1, MaxTimeout);
  Row(grpServer, lblCommandTimeout, sedCommandTimeout->Object());

  grpAuth = Group("grpAuth", "Авторизация", Left);
  lblSmtpUser = Label(grpAuth, "lblSmtpUser", "Пользователь");
  edSmtpUser = Edit(grpAuth, "edSmtpUser");
  Row(grpAuth, lblSmtpUser, edSmtpUser->Object());
  lblSmtpPassword = Label(grpAuth, "lblSmtpPassword", "Пароль");
  edSmtpPassword = Edit(grpAuth, "edSmtpPassword");
  edSmtpPassword->Object()->setEchoMode(QLineEdit::Password);
  Row(grpAuth, lblSmtpPassword, edSmtpPassword->Object());
  Left->addStretch(1);

  grpSender = Group("grpSender", "Отправитель", Right);
  lblSenderAddress = Label(grpSender, "lblSenderAddress", "Адрес");
  edSenderAddress = Edit(grpSender, "edSenderAddress");
  QObject::connect(edSenderAddress->Object(), &QLineEdit::textEdited, this, [this] { SenderAddressEdited(); });
  Row(grpSender, lblSenderAddress, edSenderAddress->Object());
  lblSenderName = Label(grpSender, "lblSenderName", "Имя");
  edSenderName = Edit(grpSender, "edSenderName");
  Row(grpSender, lblSenderName, edSenderName->Object());
  cbReadReceipt = Check(grpSender, "cbReadReceipt", "Уведомление о прочтении");
  Grid(grpSender)->addWidget(cbReadReceipt->Object(), Grid(grpSender)->rowCount(), 0, 1, 2);

  grpDispatch = Group("grpDispatch", "Рассылка", Right);
  lblPeriod = Label(grpDispatch, "lblPeriod", "Период");
  sedPeriod = Spin(grpDispatch, "sedPeriod", 0, MaxPeriod);
  cbbPeriodType = Choice(grpDispatch, "cbbPeriodType", {"секунд", "минут"});
  auto* PeriodRow = new QHBoxLayout;
  PeriodRow->addWidget(sedPeriod->Object(), 1);
  PeriodRow->addWidget(cbbPeriodType->Object());
  Grid(grpDispatch)->addWidget(lblPeriod->Object(), 0, 0);
  Grid(grpDispatch)->addLayout(PeriodRow, 0, 1);
  lblBroadcast = Label(grpDispatch, "lblBroadcast", "Получателей в письме");
  sedBroadcast = Spin(grpDispatch, "sedBroadcast", 1, MaxBroadcast);
  Row(grpDispatch, lblBroadcast, sedBroadcast->Object());
  cbLogging = Check(grpDispatch, "cbLogging", "Журнал отправки");
  Grid(grpDispatch)->addWidget(cbLogging->Object(), Grid(grpDispatch)->rowCount(), 0, 1, 2);

  grpResult = Group("grpResult", "Запись результата в базу данных", Right);
  mmResultStatement = new QPlainTextEdit(grpResult->Object());
  mmResultStatement->setObjectName("mmResultStatement");
  mmResultStatement->setTabChangesFocus(true);
  QObject::connect(mmResultStatement, &QPlainTextEdit::textChanged, this, [this] { Changed(); });
  Grid(grpResult)->addWidget(mmResultStatement, 0, 0);
  Right->addStretch(1);
}

void TfrMailSettings::InitFrame() {
  if (TransFormList) TranslateForm(*this);
  // The catalogue's texts are translated already.
  const std::pair<QWidget*, const std::string*> Hints[] = {
      {cbLogging->Object(), &cstHintConfMailLog},
      {cbReadReceipt->Object(), &cstHintConfMailConfirm},
      {sedPeriod->Object(), &cstHintConfMailPeriod},
      {cbbPeriodType->Object(), &cstHintConfMailTypePeriod},
      {sedBroadcast->Object(), &cstHintConfMailBroadcast}};
  for (const auto& [Control, Hint] : Hints) {
    Control->setToolTip(ToQt(*Hint));
    Control->setStatusTip(ToQt(*Hint));
  }
}

void TfrMailSettings::LoadFrameSettings() {
  const TMailSettings Stored = LoadMailSettings(SettingsFileName, TMissingKeys::mkLeave);
  FLoading = true;
  edSmtpHost->Object()->setText(ToQt(Stored.Host));
  sedSmtpPort->Object()->setValue(Stored.Port);
  cbbSmtpSecurity->Object()->setCurrentIndex(static_cast<int>(Stored.Security));
  static_cast<QCheckBox*>(cbVerifyCertificate->Object())->setChecked(Stored.VerifyCertificate);
  edCAFile->Object()->setText(ToQt(Stored.CaFile));
  sedConnectTimeout->Object()->setValue(Stored.ConnectTimeout);
  sedCommandTimeout->Object()->setValue(Stored.CommandTimeout);
  edSmtpUser->Object()->setText(ToQt(Stored.User));
  edSmtpPassword->Object()->setText(ToQt(Stored.Password));
  edSenderAddress->Object()->setText(ToQt(Stored.SenderAddress));
  edSenderName->Object()->setText(ToQt(Stored.SenderName));
  static_cast<QCheckBox*>(cbReadReceipt->Object())->setChecked(Stored.ReadReceipt);
  sedPeriod->Object()->setValue(Stored.Period);
  cbbPeriodType->Object()->setCurrentIndex(Stored.PeriodInMinutes ? 1 : 0);
  sedBroadcast->Object()->setValue(Stored.Broadcast);
  static_cast<QCheckBox*>(cbLogging->Object())->setChecked(Stored.Logging);
  mmResultStatement->setPlainText(ToQt(Stored.ResultStatement));
  FLoading = false;
  Modified = false;
}

TMailSettings TfrMailSettings::Shown() const {
  TMailSettings Settings;
  Settings.Host = ToStd(edSmtpHost->Object()->text().trimmed());
  Settings.Port = sedSmtpPort->Object()->value();
  Settings.Security = static_cast<TMailSecurity>(cbbSmtpSecurity->Object()->currentIndex());
  Settings.VerifyCertificate = cbVerifyCertificate->Object()->isChecked();
  Settings.CaFile = ToStd(edCAFile->Object()->text().trimmed());
  Settings.ConnectTimeout = sedConnectTimeout->Object()->value();
  Settings.CommandTimeout = sedCommandTimeout->Object()->value();
  Settings.User = ToStd(edSmtpUser->Object()->text().trimmed());
  Settings.Password = ToStd(edSmtpPassword->Object()->text());
  Settings.SenderAddress = ToStd(edSenderAddress->Object()->text().trimmed());
  Settings.SenderName = ToStd(edSenderName->Object()->text().trimmed());
  Settings.ReadReceipt = cbReadReceipt->Object()->isChecked();
  Settings.Period = sedPeriod->Object()->value();
  Settings.PeriodInMinutes = cbbPeriodType->Object()->currentIndex() == 1;
  Settings.Broadcast = sedBroadcast->Object()->value();
  Settings.Logging = cbLogging->Object()->isChecked();
  // The settings file stores the line breaks of a statement as blanks.
  Settings.ResultStatement = ToStd(mmResultStatement->toPlainText().trimmed());
  return Settings;
}

void TfrMailSettings::SaveFrameSettings() {
  const TMailSettings Settings = Shown();
  if (Settings.Host.empty()) throw std::runtime_error(cstMailEmptyParams);
  if (!ValidAddress(Settings.SenderAddress)) throw std::runtime_error(Format(cstMailInvalidUserAdr, Settings.SenderAddress));
  SaveMailSettings(SettingsFileName, Settings);
  Modified = false;
}

void TfrMailSettings::GetFrameCaption(std::string& Caption) { Caption = cstMailServiceCaption; }

void TfrMailSettings::Changed() {
  if (!FLoading) FrameChanged();
}

void TfrMailSettings::SenderAddressEdited() {
  const std::string Address = ToStd(edSenderAddress->Object()->text().trimmed());
  FrameStatus(ValidAddress(Address) ? std::string() : Format(cstMailInvalidUserAdr, Address));
}

}  // namespace relaybird::mail
