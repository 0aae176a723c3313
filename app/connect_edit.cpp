#include "app/connect_edit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "core/system_helpers.h"
#include "db/connection_test.h"
#include "db/ora_client_homes.h"
#include "i18n/translator.h"
#include "platform/text_encoding.h"
#include "relaybird/catalogue.h"
#include "ui/message_dlg.h"

namespace relaybird {

namespace {

constexpr int MaxUserLength = 50;
constexpr int MaxPasswordLength = 30;

bool Blank(const QString& Text) { return Text.trimmed().isEmpty(); }

bool SameSettings(const TConnectionSettings& A, const TConnectionSettings& B) {
  return A.OraHome == B.OraHome && A.OraServer == B.OraServer && A.OraUser == B.OraUser &&
         A.OraPassword == B.OraPassword && A.OraSchema == B.OraSchema;
}

bool RunDialog(TfrmConnectEdit& Dialog, const std::string& ModeWord, TConnectionSettings& Settings,
               std::string& HomeText) {
  HomeText.clear();
  Dialog.setWindowTitle(Dialog.windowTitle() + ToQt(" [" + ModeWord + "]"));
  Dialog.EnableHomeReaction();
  if (Dialog.exec() != QDialog::Accepted || SameSettings(Dialog.Result, Settings)) return false;
  Settings = Dialog.Result;
  HomeText = ToStd(Dialog.cbbOraHome->Object()->currentText());
  return true;
}

}  // namespace

TfrmConnectEdit::TfrmConnectEdit(QWidget* Parent) : QDialog(Parent), TComponent("frmConnectEdit") {
  setObjectName("frmConnectEdit");
  setWindowTitle("Соединение с базой данных");
  setFixedSize(ClientWidth, ClientHeight);
  auto* Layout = new QVBoxLayout(this);
  auto* Group = new QGroupBox(this);
  grpOraParams = CreateComponent<TGroupBox>(*this, "grpOraParams", Group);
  auto* Fields = new QGridLayout(Group);
  const auto Label = [this, Group](const char* Name, const char* Text) {
    return CreateComponent<TLabel>(*this, Name, new QLabel(QString::fromUtf8(Text), Group));
  };
  lblOraHome = Label("lblOraHome", "Home");
  cbbOraHome = CreateComponent<TComboBox>(*this, "cbbOraHome", new QComboBox(Group));
  cbbOraHome->Object()->addItem("Default");
  lblServerName = Label("lblServerName", "Сервер БД");
  cbbServerName = CreateComponent<TComboBox>(*this, "cbbServerName", new QComboBox(Group));
  lblUserName = Label("lblUserName", "Пользователь");
  edtUser = CreateComponent<TEdit>(*this, "edtUser", new QLineEdit(Group));
  edtUser->Object()->setMaxLength(MaxUserLength);
  lblPassword = Label("lblPassword", "Пароль");
  edtPassword = CreateComponent<TEdit>(*this, "edtPassword", new QLineEdit(Group));
  edtPassword->Object()->setMaxLength(MaxPasswordLength);
  edtPassword->Object()->setEchoMode(QLineEdit::Password);
  const std::pair<TLabel*, QWidget*> Rows[] = {{lblOraHome, cbbOraHome->Object()},
                                               {lblServerName, cbbServerName->Object()},
                                               {lblUserName, edtUser->Object()},
                                               {lblPassword, edtPassword->Object()}};
  for (int Row = 0; Row < 4; ++Row) {
    Fields->addWidget(Rows[Row].first->Object(), Row, 0);
    Fields->addWidget(Rows[Row].second, Row, 1);
  }
  Fields->setColumnStretch(1, 1);
  Layout->addWidget(Group, 1);

  auto* Buttons = new QHBoxLayout;
  Buttons->addStretch(1);
  auto* Ok = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), "OK", this);
  Ok->setDefault(true);
  Ok->setAutoDefault(true);
  btnOK = CreateComponent<TButton>(*this, "btnOK", Ok);
  auto* Cancel = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), "Отмена", this);
  Cancel->setAutoDefault(false);
  btnCancel = CreateComponent<TButton>(*this, "btnCancel", Cancel);
  Buttons->addWidget(Ok);
  Buttons->addWidget(Cancel);
  Layout->addLayout(Buttons);
  QObject::connect(Ok, &QPushButton::clicked, this, [this] { btnOKClick(); });
  QObject::connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);

  TranslateForm(*this);
  Result = {};
  const TOraClientHomes& Homes = OraClientHomes();
  QComboBox* HomeBox = cbbOraHome->Object();
  HomeBox->clear();
  for (std::size_t Index = 0; Index < Homes.Names.size(); ++Index)
    HomeBox->addItem(ToQt(FormatOracleHome(static_cast<int>(Index))));
  if (HomeBox->count() > 0) HomeBox->setCurrentIndex(0);
  FillServerList();
}

std::vector<TPublishedProperty> TfrmConnectEdit::PublishedProperties() {
  return {TextProperty("Caption", [this] { return ToStd(windowTitle()); },
                       [this](const std::string& Text) { setWindowTitle(ToQt(Text)); })};
}

void TfrmConnectEdit::FillServerList() {
  QComboBox* Servers = cbbServerName->Object();
  const int Home = cbbOraHome->Object()->currentIndex();
  const std::vector<std::string>& Names = OraClientHomes().Names;
  if (cbbOraHome->Object()->count() == 0 || Home < 0 || Home >= static_cast<int>(Names.size())) {
    Servers->clear();
    return;
  }
  QStringList Aliases;
  for (const std::string& Alias : GetServerAliases(Names[static_cast<std::size_t>(Home)])) {
    const QString Shown = ToQt(AnsiUpperCase(Alias));
    if (!Aliases.contains(Shown)) Aliases << Shown;
  }
  const QString Before = Servers->currentText();
  Servers->clear();
  Servers->addItems(Aliases);
  const int Again = Aliases.indexOf(Before);
  Servers->setCurrentIndex(Again >= 0 ? Again : (Aliases.isEmpty() ? -1 : 0));
}

void TfrmConnectEdit::EnableHomeReaction() {
  QObject::connect(cbbOraHome->Object(), &QComboBox::currentIndexChanged, this, [this] { FillServerList(); });
}

void TfrmConnectEdit::PrefillForEdit(const TConnectionSettings& Settings) {
  Result = Settings;
  if (Settings.OraHome >= 0 && Settings.OraHome < cbbOraHome->Object()->count())
    cbbOraHome->Object()->setCurrentIndex(Settings.OraHome);
  FillServerList();
  const int Stored = cbbServerName->Object()->findText(ToQt(Settings.OraServer), Qt::MatchFixedString);
  if (Stored >= 0) cbbServerName->Object()->setCurrentIndex(Stored);
  edtUser->Object()->setText(ToQt(Settings.OraUser));
  edtPassword->Object()->setText(ToQt(Settings.OraPassword));
}

void TfrmConnectEdit::btnOKClick() {
  const std::pair<bool, std::pair<const std::string*, QWidget*>> Checks[] = {
      {Blank(cbbOraHome->Object()->currentText()), {&cstConfigEmptyHomes, cbbOraHome->Object()}},
      {Blank(cbbServerName->Object()->currentText()), {&cstConfigEmptyServer, cbbServerName->Object()}},
      {Blank(edtUser->Object()->text()), {&cstConfigEmptyUser, edtUser->Object()}},
      {edtPassword->Object()->text().isEmpty(), {&cstConfigEmptyPassword, edtPassword->Object()}}};
  for (const auto& [Failed, Target] : Checks) {
    if (!Failed) continue;
    MessageDlg(this, QMessageBox::Critical, cstErrorStr, *Target.first);
    Target.second->setFocus();
    return;
  }
  Result.OraHome = cbbOraHome->Object()->currentIndex();
  Result.OraServer = ToStd(cbbServerName->Object()->currentText());
  Result.OraUser = ToStd(edtUser->Object()->text());
  Result.OraPassword = ToStd(edtPassword->Object()->text());
  Result.OraSchema = Result.OraUser;
  accept();
}

bool NewConnectionDialog(TConnectionSettings& Settings, std::string& HomeText, QWidget* Parent) {
  TfrmConnectEdit Dialog(Parent);
  return RunDialog(Dialog, cstModeAdd, Settings, HomeText);
}

bool EditConnectionDialog(TConnectionSettings& Settings, std::string& HomeText, QWidget* Parent) {
  TfrmConnectEdit Dialog(Parent);
  Dialog.PrefillForEdit(Settings);
  return RunDialog(Dialog, cstModeEdit, Settings, HomeText);
}

}  // namespace relaybird
