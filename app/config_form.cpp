#include "app/config_form.h"

#include <sys/stat.h>

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QStatusTipEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <chrono>

#include "app/connect_edit.h"
#include "core/system_helpers.h"
#include "db/connection_test.h"
#include "i18n/lang_manager.h"
#include "i18n/translator.h"
#include "platform/exe_path.h"
#include "platform/child_process.h"
#include "platform/text_encoding.h"
#include "relaybird/text_format.h"
#include "relaybird/catalogue.h"
#include "relaybird/ini_file.h"
#include "ui/message_dlg.h"
#include "ui/wait_cursor.h"

namespace relaybird {

namespace {

constexpr int MaxMinutes = 1440;

// The picture of the icon: a letter on a round badge.
QIcon ServiceIcon() {
  QPixmap Picture(32, 32);
  Picture.fill(Qt::transparent);
  QPainter Painter(&Picture);
  Painter.setRenderHint(QPainter::Antialiasing);
  Painter.setBrush(QColor(30, 110, 190));
  Painter.setPen(Qt::NoPen);
  Painter.drawEllipse(1, 1, 30, 30);
  Painter.setPen(Qt::white);
  QFont Font = Painter.font();
  Font.setBold(true);
  Font.setPixelSize(20);
  Painter.setFont(Font);
  Painter.drawText(Picture.rect(), Qt::AlignCenter, "R");
  return QIcon(Picture);
}

QLabel* NewLabel(QWidget* Parent, const char* Text) { return new QLabel(QString::fromUtf8(Text), Parent); }

// The pictures of a working and of a failing connection.
QPixmap StatusPicture(bool Working) {
  QPixmap Picture(16, 16);
  Picture.fill(Qt::transparent);
  QPainter Painter(&Picture);
  Painter.setRenderHint(QPainter::Antialiasing);
  Painter.setPen(Qt::NoPen);
  Painter.setBrush(Working ? QColor(40, 160, 60) : QColor(200, 40, 40));
  Painter.drawEllipse(1, 1, 14, 14);
  Painter.setPen(QPen(Qt::white, 2));
  if (Working) {
    Painter.drawPolyline(QList<QPointF>{{4.5, 8.0}, {7.0, 10.5}, {11.5, 5.0}});
  } else {
    Painter.drawLine(QPointF(5, 5), QPointF(11, 11));
    Painter.drawLine(QPointF(11, 5), QPointF(5, 11));
  }
  return Picture;
}

}  // namespace

TfrmConfig::TfrmConfig(TStartModes StartModes, std::unique_ptr<TServiceControl> ServiceControl)
    : TForm("frmConfig"),
      FStartModes(StartModes),
      FInstallerPath(ExecutablePath()),
      FServiceControl(std::move(ServiceControl)) {
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(ClientWidth, ClientHeight);
  setWindowIcon(ServiceIcon());
  alConfig = CreateComponent<TActionList>(*this, "alConfig");
  const auto Action = [this](const char* Name, const char* Caption, const char* Category) {
    TAction* Created = CreateComponent<TAction>(*this, Name, this, Caption, Category);
    alConfig->Add(Created);
    return Created;
  };
  acStart = Action("acStart", "Запустить", "Service");
  acPause = Action("acPause", "Перезапустить", "Service");
  acStop = Action("acStop", "Остановить", "Service");
  acInstall = Action("acInstall", "Установить", "Service");
  acUninstall = Action("acUninstall", "Удалить", "Service");
  acSave = Action("acSave", "Сохранить", "Main");
  acShow = Action("acShow", "Настройки", "Main");
  acHide = Action("acHide", "Скрыть", "Main");
  acExit = Action("acExit", "Выход", "Main");
  acSelLogDir = Action("acSelLogDir", "Обзор...", "Main");
  acSelTempDir = Action("acSelTempDir", "Обзор...", "Main");
  acRefresh = Action("acRefresh", "Обновить", "Modules");
  acLoad = Action("acLoad", "Загрузить", "Modules");
  acUnload = Action("acUnload", "Выгрузить", "Modules");
  actDBAdd = Action("actDBAdd", "Добавить", "DB");
  actDBEdit = Action("actDBEdit", "Редактировать", "DB");
  actDBDel = Action("actDBDel", "Удалить", "DB");
  acConnect = Action("acConnect", "Проверить соединение", "DB");
  actDBAdd->SetHint("Добавить соединение с базой данных");
  actDBEdit->SetHint("Изменить соединение с базой данных");
  actDBDel->SetHint("Удалить соединение с базой данных");

  acStart->OnExecute = [this](TAction*) { acStartExecute(); };
  acPause->OnExecute = [this](TAction*) { acPauseExecute(); };
  acStop->OnExecute = [this](TAction*) { acStopExecute(); };
  acInstall->OnExecute = [this](TAction*) { acInstallExecute(); };
  acUninstall->OnExecute = [this](TAction*) { acUninstallExecute(); };
  acSave->OnExecute = [this](TAction* Sender) { acSaveExecute(Sender); };
  acShow->OnExecute = [this](TAction*) { acShowExecute(); };
  acHide->OnExecute = [this](TAction*) { acHideExecute(); };
  acExit->OnExecute = [this](TAction*) { acExitExecute(); };
  acSelLogDir->OnExecute = [this](TAction*) { acSelLogDirExecute(); };
  acSelTempDir->OnExecute = [this](TAction*) { acSelTempDirExecute(); };
  acRefresh->OnExecute = [this](TAction*) { acRefreshExecute(); };
  acLoad->OnExecute = [this](TAction*) { acLoadExecute(); };
  acUnload->OnExecute = [this](TAction*) { acUnloadExecute(); };
  actDBAdd->OnExecute = [this](TAction*) { actDBAddExecute(); };
  actDBEdit->OnExecute = [this](TAction*) { actDBEditExecute(); };
  actDBDel->OnExecute = [this](TAction*) { actDBDelExecute(); };
  acConnect->OnExecute = [this](TAction*) { acConnectExecute(); };
  alConfig->OnUpdate = [this] { alConfigUpdate(); };

  auto* Layout = new QVBoxLayout(this);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->setSpacing(0);
  BuildToolBar();
  Layout->addWidget(tbrMenu->Object());
  BuildPages();
  Layout->addWidget(pcItems->Object(), 1);
  BuildStatusBar();
  Layout->addWidget(sbrEvents->Object());
  BuildTrayIcon();
  tmrStatus = CreateComponent<TTimer>(*this, "tmrStatus", this, 1000);
  tmrStatus->OnTimer = [this] { tmrStatusTimer(); };

  // FormCreate.
  SetPageTabsVisible(false, false, false);
  for (TToolButton* Button : {tbrSep1, tbrSep2, tbtInstall, tbtUninstall, tbtSave}) Button->SetVisible(false);
  mitSeparator1->Object()->setVisible(false);
  mitService->Object()->setVisible(false);
  pcItems->Object()->SetActivePageIndex(-1);
  SetStatusTimer(false);
  TranslateConstants();
  try {
    acShow->SetEnabled(false);
    ApplyCatalogueTexts();
    // A settings file carried over read-only must still take the saves.
    struct stat Info {};
    if (stat(SettingsFileName.c_str(), &Info) == 0 && (Info.st_mode & S_IWUSR) == 0)
      chmod(SettingsFileName.c_str(), Info.st_mode | S_IWUSR);
    FConnections = std::make_unique<TConnectionList>(false);
    ApplyServiceState(FServiceControl->QueryServiceState(ServiceSysName));
    FLangMenu = std::make_unique<TLangMenuItems>(pmLangs->Object());
    if (LangManager) {
      LangManager->SetMenu(FLangMenu.get());
      LangManager->OnChange = [this] { LanguageChanged(); };
    }
  } catch (const std::exception& Error) {
    MessageDlg(this, QMessageBox::Critical, cstErrorStr, cstConfigParamLoadError + "\r\n" + Error.what());
  }
  acSave->SetEnabled(false);
}

TfrmConfig::~TfrmConfig() {
  tiService->Object()->hide();
  FInstanceMutex.reset();
  RemoveSettingsPages();
  SetStatusTimer(false);
  FManager.reset();
  if (LangManager) {
    LangManager->ReleaseMenu(FLangMenu.get());
    LangManager->OnChange = nullptr;
  }
  FConnections.reset();
  // A poll still running ends within its bound.
  if (FPendingPoll.valid()) FPendingPoll.wait();
}

void TfrmConfig::BuildToolBar() {
  auto* Bar = new QToolBar(this);
  Bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  Bar->setIconSize(QSize(20, 20));
  Bar->setMovable(false);
  tbrMenu = CreateComponent<TToolBar>(*this, "tbrMenu", Bar);
  const QStyle* Style = style();
  acStart->Object()->setIcon(Style->standardIcon(QStyle::SP_MediaPlay));
  acPause->Object()->setIcon(Style->standardIcon(QStyle::SP_BrowserReload));
  acStop->Object()->setIcon(Style->standardIcon(QStyle::SP_MediaStop));
  acInstall->Object()->setIcon(Style->standardIcon(QStyle::SP_DialogApplyButton));
  acUninstall->Object()->setIcon(Style->standardIcon(QStyle::SP_TrashIcon));
  acSave->Object()->setIcon(Style->standardIcon(QStyle::SP_DialogSaveButton));
  acHide->Object()->setIcon(Style->standardIcon(QStyle::SP_TitleBarMinButton));
  acExit->Object()->setIcon(Style->standardIcon(QStyle::SP_DialogCloseButton));
  acRefresh->Object()->setIcon(Style->standardIcon(QStyle::SP_BrowserReload));
  const auto Button = [this](const char* Name, TAction* Runs) {
    return CreateComponent<TToolButton>(*this, Name, *tbrMenu, *Runs);
  };
  Button("tbtStart", acStart);
  Button("tbtPause", acPause);
  Button("tbtStop", acStop);
  tbrSep1 = CreateComponent<TToolButton>(*this, "tbrSep1", *tbrMenu);
  tbtInstall = Button("tbtInstall", acInstall);
  tbtUninstall = Button("tbtUninstall", acUninstall);
  tbrSep2 = CreateComponent<TToolButton>(*this, "tbrSep2", *tbrMenu);
  tbtSave = Button("tbtSave", acSave);
  auto* Langs = new QMenu(this);
  pmLangs = CreateComponent<TPopupMenu>(*this, "pmLangs", Langs);
  auto* LangButton = new QToolButton(Bar);
  LangButton->setText("Язык");
  LangButton->setMenu(Langs);
  LangButton->setPopupMode(QToolButton::InstantPopup);
  btnLangs = CreateComponent<TToolButton>(*this, "btnLangs", *tbrMenu, LangButton);
  // The language is chosen through LangPath; the button stays hidden.
  btnLangs->SetVisible(false);
  tbrSep3 = CreateComponent<TToolButton>(*this, "tbrSep3", *tbrMenu);
  Button("tbtHide", acHide);
  Button("tbtExit", acExit);
}

void TfrmConfig::BuildPages() {
  auto* Pages = new TPageControlWidget(this);
  pcItems = CreateComponent<TPageControl>(*this, "pcItems", Pages);
  QWidget* Monitor = BuildMonitorPage();
  Pages->AddPage(Monitor, "Модули");
  tsMonitor = CreateComponent<TTabSheet>(*this, "tsMonitor", Monitor, Pages);
  QWidget* Common = BuildCommonPage();
  Pages->AddPage(Common, "Параметры службы");
  tsCommon = CreateComponent<TTabSheet>(*this, "tsCommon", Common, Pages);
  QWidget* Db = BuildDbPage();
  Pages->AddPage(Db, "База Данных");
  tsDB = CreateComponent<TTabSheet>(*this, "tsDB", Db, Pages);
}

QWidget* TfrmConfig::BuildCommonPage() {
  auto* Page = new QWidget;
  auto* PageLayout = new QVBoxLayout(Page);
  auto* Main = new QGroupBox(" Основные настройки службы ", Page);
  gbMain = CreateComponent<TGroupBox>(*this, "gbMain", Main);
  PageLayout->addWidget(Main);
  auto* MainLayout = new QGridLayout(Main);

  auto* Intervals = new QGroupBox(" Интервалы работы ", Main);
  gbIntervals = CreateComponent<TGroupBox>(*this, "gbIntervals", Intervals);
  auto* IntervalsLayout = new QGridLayout(Intervals);
  const auto Spin = [this](const char* Name, QWidget* Parent, int Minimum) {
    auto* Box = new TSpinBox(Parent);
    Box->setRange(Minimum, MaxMinutes);
    Box->SetMaxLength(4);
    Box->setFixedWidth(70);
    return CreateComponent<TSpinEdit>(*this, Name, Box);
  };
  lblConnect = CreateComponent<TLabel>(*this, "lblConnect", NewLabel(Intervals, "Период проверки соединения с БД"));
  sedConnect = Spin("sedConnect", Intervals, 1);
  lblConnectUnit = CreateComponent<TLabel>(*this, "lblConnectUnit", NewLabel(Intervals, "мин."));
  lblDelay = CreateComponent<TLabel>(*this, "lblDelay", NewLabel(Intervals, "Задержка запуска"));
  sedDelay = Spin("sedDelay", Intervals, 0);
  lblDelayUnit = CreateComponent<TLabel>(*this, "lblDelayUnit", NewLabel(Intervals, "мин."));
  IntervalsLayout->addWidget(lblConnect->Object(), 0, 0);
  IntervalsLayout->addWidget(sedConnect->Object(), 0, 1);
  IntervalsLayout->addWidget(lblConnectUnit->Object(), 0, 2);
  IntervalsLayout->addWidget(lblDelay->Object(), 1, 0);
  IntervalsLayout->addWidget(sedDelay->Object(), 1, 1);
  IntervalsLayout->addWidget(lblDelayUnit->Object(), 1, 2);
  IntervalsLayout->setColumnStretch(3, 1);

  auto* Account = new QGroupBox("Учетная запись для запуска службы", Main);
  gbAccount = CreateComponent<TGroupBox>(*this, "gbAccount", Account);
  auto* AccountLayout = new QGridLayout(Account);
  lblWinUser = CreateComponent<TLabel>(*this, "lblWinUser", NewLabel(Account, "Учетная запись*"));
  edWinUser = CreateComponent<TEdit>(*this, "edWinUser", new QLineEdit(Account));
  edWinUser->Object()->setMaxLength(255);
  lblWinPass = CreateComponent<TLabel>(*this, "lblWinPass", NewLabel(Account, "Пароль*"));
  edWinPass = CreateComponent<TEdit>(*this, "edWinPass", new QLineEdit(Account));
  edWinPass->Object()->setMaxLength(255);
  edWinPass->Object()->setEchoMode(QLineEdit::Password);
  AccountLayout->addWidget(lblWinUser->Object(), 0, 0);
  AccountLayout->addWidget(edWinUser->Object(), 0, 1);
  AccountLayout->addWidget(lblWinPass->Object(), 1, 0);
  AccountLayout->addWidget(edWinPass->Object(), 1, 1);

  auto* Log = new QGroupBox(" Настройки журналирования ", Main);
  gbLog = CreateComponent<TGroupBox>(*this, "gbLog", Log);
  auto* LogLayout = new QGridLayout(Log);
  lblLogCaption = CreateComponent<TLabel>(
      *this, "lblLogCaption",
      NewLabel(Log, "Настройка ведения журнала событий для каждого сервиса производится отдельно в персональных "
                    "свойствах (например: вкладка \"Электронная почта\")"));
  lblLogCaption->Object()->setWordWrap(true);
  QFont Italic = lblLogCaption->Object()->font();
  Italic.setItalic(true);
  lblLogCaption->Object()->setFont(Italic);
  cbSystemLog = CreateComponent<TButton>(*this, "cbSystemLog", new QCheckBox("Дублирование ошибок в журнал Windows", Log));
  lblLogPath = CreateComponent<TLabel>(*this, "lblLogPath", NewLabel(Log, "Каталог для хранения файлов журнала"));
  edLogPath = CreateComponent<TEdit>(*this, "edLogPath", new QLineEdit(Log));
  edLogPath->Object()->setReadOnly(true);
  edLogPath->Object()->setFocusPolicy(Qt::ClickFocus);
  auto* SelLog = new QPushButton(Log);
  btnSelLogDir = CreateComponent<TButton>(*this, "btnSelLogDir", SelLog);
  QObject::connect(SelLog, &QPushButton::clicked, acSelLogDir->Object(), &QAction::trigger);
  LogLayout->addWidget(lblLogCaption->Object(), 0, 0, 1, 2);
  LogLayout->addWidget(cbSystemLog->Object(), 1, 0, 1, 2);
  LogLayout->addWidget(lblLogPath->Object(), 2, 0, 1, 2);
  LogLayout->addWidget(edLogPath->Object(), 3, 0);
  LogLayout->addWidget(SelLog, 3, 1);
  LogLayout->setRowStretch(4, 1);

  auto* Temp = new QGroupBox(" Каталог для хранения временных файлов  ", Main);
  gbTempDir = CreateComponent<TGroupBox>(*this, "gbTempDir", Temp);
  auto* TempLayout = new QHBoxLayout(Temp);
  edTempDir = CreateComponent<TEdit>(*this, "edTempDir", new QLineEdit(Temp));
  edTempDir->Object()->setReadOnly(true);
  auto* SelTemp = new QPushButton(Temp);
  btnSelTempDir = CreateComponent<TButton>(*this, "btnSelTempDir", SelTemp);
  QObject::connect(SelTemp, &QPushButton::clicked, acSelTempDir->Object(), &QAction::trigger);
  TempLayout->addWidget(edTempDir->Object());
  TempLayout->addWidget(SelTemp);
  Temp->setVisible(false);

  MainLayout->addWidget(Intervals, 0, 0);
  MainLayout->addWidget(Account, 1, 0);
  MainLayout->addWidget(Log, 0, 1, 2, 1);
  MainLayout->addWidget(Temp, 2, 0, 1, 2);
  MainLayout->setColumnStretch(0, 1);
  MainLayout->setColumnStretch(1, 1);
  MainLayout->setRowStretch(3, 1);

  // The captions of the two buttons follow their actions.
  for (auto [Button, Runs] : {std::pair{SelLog, acSelLogDir}, std::pair{SelTemp, acSelTempDir}}) {
    Button->setText(Runs->Object()->text());
    QObject::connect(Runs->Object(), &QAction::changed, Button, [Button = Button, Runs = Runs] {
      Button->setText(Runs->Object()->text());
      Button->setToolTip(Runs->Object()->toolTip());
      Button->setEnabled(Runs->Object()->isEnabled());
    });
  }

  sedConnect->Object()->OnKeyPress = [this](QChar& Key) { sedConnectKeyPress(Key); };
  sedDelay->Object()->OnKeyPress = [this](QChar& Key) { sedDelayKeyPress(Key); };
  QObject::connect(sedConnect->Object(), &QSpinBox::valueChanged, this, [this] { sedConnectChange(); });
  QObject::connect(sedDelay->Object(), &QSpinBox::valueChanged, this, [this] { sedDelayChange(); });
  QObject::connect(edWinUser->Object(), &QLineEdit::textChanged, this, [this] { edWinUserChange(); });
  QObject::connect(edWinPass->Object(), &QLineEdit::textChanged, this, [this] { edWinPassChange(); });
  QObject::connect(edLogPath->Object(), &QLineEdit::textChanged, this, [this] { edLogPathChange(); });
  QObject::connect(edTempDir->Object(), &QLineEdit::textChanged, this, [this] { edTempDirChange(); });
  QObject::connect(static_cast<QCheckBox*>(cbSystemLog->Object()), &QCheckBox::toggled, this,
                   [this] { cbSystemLogClick(); });
  return Page;
}

QWidget* TfrmConfig::BuildMonitorPage() {
  auto* Page = new QWidget;
  auto* Layout = new QHBoxLayout(Page);
  auto* Left = new QWidget(Page);
  Left->setFixedWidth(365);
  auto* LeftLayout = new QVBoxLayout(Left);
  LeftLayout->setContentsMargins(0, 0, 0, 0);
  const auto CaptionBar = [this](const char* Name, QWidget* Parent, const char* Text) {
    QLabel* Bar = NewLabel(Parent, Text);
    Bar->setStyleSheet("background-color: rgb(240, 251, 255); font-weight: bold; padding: 2px;");
    return CreateComponent<TLabel>(*this, Name, Bar);
  };
  lblModules = CaptionBar("lblModules", Left, "Список модулей");
  auto* Bar = new QToolBar(Left);
  Bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  tlbModules = CreateComponent<TToolBar>(*this, "tlbModules", Bar);
  for (TAction* Runs : {acRefresh, acLoad, acUnload}) Bar->addAction(Runs->Object());
  grdModules = CreateComponent<TDBGrid>(*this, "grdModules", new QTableView(Left));
  grdModules->AddColumn("Name", "Модуль", 259);
  grdModules->AddColumn("Loaded", "Загружен", 89);
  LeftLayout->addWidget(lblModules->Object());
  LeftLayout->addWidget(Bar);
  LeftLayout->addWidget(grdModules->Object(), 1);
  auto* Right = new QWidget(Page);
  auto* RightLayout = new QVBoxLayout(Right);
  RightLayout->setContentsMargins(0, 0, 0, 0);
  lblModuleInfo = CaptionBar("lblModuleInfo", Right, "Информация о модуле");
  RightLayout->addWidget(lblModuleInfo->Object());
  RightLayout->addWidget(BuildModuleInfo(Right), 1);
  vtModules = grdModules->Model();
  auto* Menu = new QMenu(grdModules->Object());
  Menu->addAction(acRefresh->Object());
  Menu->addSeparator();
  Menu->addAction(acLoad->Object());
  Menu->addAction(acUnload->Object());
  CreateComponent<TPopupMenu>(*this, "pmModules", Menu);
  grdModules->Object()->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(grdModules->Object(), &QWidget::customContextMenuRequested, Menu,
                   [this, Menu](const QPoint& At) { Menu->popup(grdModules->Object()->viewport()->mapToGlobal(At)); });
  QObject::connect(grdModules->Object()->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                   [this] { cdsModulesAfterScroll(); });
  Layout->addWidget(Left);
  Layout->addWidget(Right, 1);
  return Page;
}

QWidget* TfrmConfig::BuildModuleInfo(QWidget* Parent) {
  auto* Info = new QWidget(Parent);
  auto* Layout = new QVBoxLayout(Info);
  Layout->setContentsMargins(4, 4, 4, 4);
  imgModuleIcon = new QLabel(Info);
  imgModuleIcon->setObjectName("imgModuleIcon");
  imgModuleIcon->setFixedSize(32, 32);
  Layout->addWidget(imgModuleIcon);
  auto* General = new QGroupBox(" Общие ", Info);
  gbModule = CreateComponent<TGroupBox>(*this, "gbModule", General);
  auto* Fields = new QGridLayout(General);
  dbtName = new QLabel(General);
  dbtName->setObjectName("dbtName");
  dbtName->setWordWrap(true);
  QFont Bold = dbtName->font();
  Bold.setBold(true);
  dbtName->setFont(Bold);
  lblDesc = CreateComponent<TLabel>(*this, "lblDesc", NewLabel(General, "Описание модуля"));
  dbtShortFile = new QLabel(General);
  dbtShortFile->setObjectName("dbtShortFile");
  dbtShortFile->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  dbmDesc = new QPlainTextEdit(General);
  dbmDesc->setObjectName("dbmDesc");
  dbmDesc->setReadOnly(true);
  dbmDesc->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  dbmDesc->setStyleSheet("background-color: palette(tool-tip-base);");
  lblFile = CreateComponent<TLabel>(*this, "lblFile", NewLabel(General, "Файл:"));
  dbmFile = new QPlainTextEdit(General);
  dbmFile->setObjectName("dbmFile");
  dbmFile->setReadOnly(true);
  dbmFile->setFixedHeight(44);
  // Read-only texts show no caret.
  for (QPlainTextEdit* Memo : {dbmDesc, dbmFile}) Memo->setTextInteractionFlags(Qt::TextSelectableByMouse);
  Fields->addWidget(dbtName, 0, 0, 1, 2);
  Fields->addWidget(lblDesc->Object(), 1, 0);
  Fields->addWidget(dbtShortFile, 1, 1);
  Fields->addWidget(dbmDesc, 2, 0, 1, 2);
  Fields->addWidget(lblFile->Object(), 3, 0, 1, 2);
  Fields->addWidget(dbmFile, 4, 0, 1, 2);
  Fields->setRowStretch(2, 1);
  Layout->addWidget(General, 1);
  return Info;
}

QWidget* TfrmConfig::BuildDbPage() {
  auto* Page = new QWidget;
  auto* Layout = new QVBoxLayout(Page);
  auto* Bar = new QToolBar(Page);
  Bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  tlbConnection = CreateComponent<TToolBar>(*this, "tlbConnection", Bar);
  for (TAction* Runs : {actDBAdd, actDBEdit, actDBDel, acConnect}) Bar->addAction(Runs->Object());
  grdConn = CreateComponent<TDBGrid>(*this, "grdConn", new QTableView(Page));
  grdConn->AddColumn("Status", "Статус", 45);
  grdConn->AddColumn("Server", "Сервер БД", 205);
  grdConn->AddColumn("User", "Пользователь", 246);
  grdConn->AddColumn("Home", "Oracle Home", 276);
  vtConnect = grdConn->Model();
  ilConnection = {StatusPicture(true), StatusPicture(false)};
  grdConn->OnDrawColumnCell = [this](QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) {
    return grdConnDrawColumnCell(Painter, Option, Index);
  };
  QObject::connect(grdConn->Object(), &QTableView::doubleClicked, this, [this] { grdConnDblClick(); });
  Layout->addWidget(Bar);
  Layout->addWidget(grdConn->Object(), 1);
  return Page;
}

void TfrmConfig::BuildStatusBar() {
  auto* Bar = new QStatusBar(this);
  Bar->setSizeGripEnabled(false);
  sbrEvents = CreateComponent<TStatusBar>(*this, "sbrEvents", Bar);
  sbrEvents->AddPanel(300);
  sbrEvents->AddPanel(120);
}

void TfrmConfig::BuildTrayIcon() {
  auto* Menu = new QMenu(this);
  pmService = CreateComponent<TPopupMenu>(*this, "pmService", Menu);
  Menu->addAction(acShow->Object());
  Menu->setDefaultAction(acShow->Object());
  Menu->addAction(acHide->Object());
  mitSeparator1 = CreateComponent<TMenuItem>(*this, "mitSeparator1", Menu->addSeparator());
  QMenu* Service = Menu->addMenu("Служба");
  mitService = CreateComponent<TMenuItem>(*this, "mitService", Service->menuAction());
  for (TAction* Runs : {acStart, acPause, acStop}) Service->addAction(Runs->Object());
  Service->addSeparator();
  for (TAction* Runs : {acInstall, acUninstall}) Service->addAction(Runs->Object());
  Menu->addSeparator();
  Menu->addAction(acExit->Object());
  auto* Icon = new QSystemTrayIcon(ServiceIcon(), this);
  Icon->setContextMenu(Menu);
  tiService = CreateComponent<TTrayIcon>(*this, "tiService", Icon);
  tiService->PopupMenu = pmService;
  QObject::connect(Icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason Reason) {
    if (Reason == QSystemTrayIcon::DoubleClick || Reason == QSystemTrayIcon::Trigger) tiServiceDblClick();
  });
}

void TfrmConfig::SetPageTabsVisible(bool Monitor, bool Common, bool Db) {
  TPageControlWidget* Pages = pcItems->Object();
  Pages->SetTabVisible(tsMonitor->Object(), Monitor);
  Pages->SetTabVisible(tsCommon->Object(), Common);
  Pages->SetTabVisible(tsDB->Object(), Db);
}

bool TfrmConfig::AcquireInstanceMutex() {
  try {
    auto Mutex = std::make_unique<TNamedMutex>(InstanceMutexName);
    if (!Mutex->Held()) return false;
    FInstanceMutex = std::move(Mutex);
    return true;
  } catch (...) {
    return false;
  }
}

void TfrmConfig::ApplyCatalogueTexts() {
  const std::pair<TAction*, const std::string*> Hints[] = {
      {acConnect, &cstHintConfConnected}, {acSave, &cstHintConfSave},       {acExit, &cstHintConfExit},
      {acHide, &cstHintConfHide},         {acShow, &cstHintConfShow},       {acInstall, &cstHintConfInstall},
      {acUninstall, &cstHintConfUninstall}, {acStart, &cstHintConfStart},   {acPause, &cstHintConfPause},
      {acStop, &cstHintConfStop},         {acRefresh, &cstHintConfRefresh}, {acLoad, &cstHintConfLoad},
      {acUnload, &cstHintConfUnload},     {acSelLogDir, &cstHintConfSelLogDir}, {acSelTempDir, &cstHintConfSelTempDir}};
  for (const auto& [Target, Text] : Hints) Target->SetHint(*Text);
  for (auto [Edit, Text] : {std::pair{edWinUser, &cstConfigRightsFormat}, std::pair{edWinPass, &cstHintConfRightsPass}}) {
    Edit->Object()->setToolTip(ToQt(*Text));
    Edit->Object()->setStatusTip(ToQt(*Text));
  }
  setWindowTitle(ToQt(cstConfigCaption));
  lblConnectUnit->Object()->setText(ToQt(cstMinuteSort));
  lblDelayUnit->Object()->setText(ToQt(cstMinuteSort));
  btnLangs->Object()->setText(ToQt(cstLang));
}

void TfrmConfig::LoadControls() {
  TServiceSettings Loaded;
  LoadServiceSettings(Loaded);
  FSettings = Loaded;
  sedConnect->Object()->setValue(FSettings.TimeoutConnect);
  sedDelay->Object()->setValue(FSettings.TimeoutDelay);
  // A stored value outside the range is shown clamped; when the shown value
  // did not move, the change event has not stored it yet.
  if (sedConnect->Object()->value() != FSettings.TimeoutConnect) sedConnectChange();
  if (sedDelay->Object()->value() != FSettings.TimeoutDelay) sedDelayChange();
  edWinUser->Object()->setText(ToQt(FSettings.WinAccount));
  edWinPass->Object()->setText(ToQt(FSettings.WinPassword));
  edLogPath->Object()->setText(ToQt(FSettings.AccessLogPath));
  edTempDir->Object()->setText(ToQt(FSettings.TempDir));
  static_cast<QCheckBox*>(cbSystemLog->Object())->setChecked(FSettings.AccessSysLog);
  FillConnectionGrid();
  for (const TFramePage& Page : FFrames) {
    Page.Frame->OnFrameChange = [this] { FrameChanged(); };
    Page.Frame->OnFrameStatus = [this](const std::string& Text) { FrameStatusText(Text); };
    Page.Frame->LoadFrameSettings();
  }
  acSave->SetEnabled(false);
}

void TfrmConfig::edWinUserChange() {
  if (!FStartModes.Contains(smConfig)) return;
  FSettings.WinAccount = ToStd(edWinUser->Object()->text());
  acSave->SetEnabled(true);
}

void TfrmConfig::edWinPassChange() {
  if (!FStartModes.Contains(smConfig)) return;
  FSettings.WinPassword = ToStd(edWinPass->Object()->text());
  acSave->SetEnabled(true);
}

void TfrmConfig::edLogPathChange() {
  if (!FStartModes.Contains(smConfig)) return;
  FSettings.AccessLogPath = ToStd(edLogPath->Object()->text());
  acSave->SetEnabled(true);
}

void TfrmConfig::edTempDirChange() {
  if (!FStartModes.Contains(smConfig)) return;
  FSettings.TempDir = ToStd(edTempDir->Object()->text());
  acSave->SetEnabled(true);
}

void TfrmConfig::cbSystemLogClick() {
  if (!FStartModes.Contains(smConfig)) return;
  FSettings.AccessSysLog = static_cast<QCheckBox*>(cbSystemLog->Object())->isChecked();
  acSave->SetEnabled(true);
}

void TfrmConfig::sedConnectChange() {
  if (!FStartModes.Contains(smConfig)) return;
  FSettings.TimeoutConnect = sedConnect->Object()->value();
  acSave->SetEnabled(true);
}

void TfrmConfig::sedDelayChange() {
  if (!FStartModes.Contains(smConfig)) return;
  FSettings.TimeoutDelay = sedDelay->Object()->value();
  acSave->SetEnabled(true);
}

bool TfrmConfig::KeyRefused(const QString& Text, QChar Key) {
  if (Key == ',' || Key == '-' || Key == '.') return true;
  bool Number = false;
  const long long Value = (Text + Key).toLongLong(&Number);
  return (Number ? Value : 0) > MaxMinutes;
}

void TfrmConfig::sedConnectKeyPress(QChar& Key) {
  if (KeyRefused(sedConnect->Object()->Text(), Key)) Key = QChar();
}

void TfrmConfig::sedDelayKeyPress(QChar& Key) {
  if (KeyRefused(sedDelay->Object()->Text(), Key)) Key = QChar();
}

bool TfrmConfig::IsModified() {
  if (!FStartModes.Contains(smConfig)) return false;
  TServiceSettings Stored;
  LoadServiceSettings(Stored);
  if (Stored.WinAccount != FSettings.WinAccount || Stored.WinPassword != FSettings.WinPassword ||
      Stored.WinVersion != FSettings.WinVersion || Stored.AccessLogPath != FSettings.AccessLogPath ||
      Stored.TempDir != FSettings.TempDir || Stored.AccessSysLog != FSettings.AccessSysLog ||
      Stored.TimeoutConnect != FSettings.TimeoutConnect || Stored.TimeoutDelay != FSettings.TimeoutDelay)
    return true;
  if (FConnectionsChanged) return true;
  for (const TFramePage& Page : FFrames)
    if (Page.Frame->Modified) return true;
  return false;
}

bool TfrmConfig::ConfirmSave() {
  if (!FStartModes.Contains(smConfig) || !IsModified()) return true;
  switch (MessageDlg(this, QMessageBox::Question, cstInformationStr, cstConfigSaveConfirm,
                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
      acSaveExecute(nullptr);
      return true;
    case QMessageBox::No:
      return true;
    default:
      return false;
  }
}

void TfrmConfig::acSaveExecute(TAction* Sender) {
  if (!FStartModes.Contains(smConfig)) return;
  try {
    SaveServiceSettings(FSettings);
    FConnections->SaveConnections();
    FConnectionsChanged = false;
    for (const TFramePage& Page : FFrames)
      if (Page.Frame->Modified) Page.Frame->SaveFrameSettings();
    if (Sender && !acStart->Enabled() && !acInstall->Enabled())
      MessageDlg(this, QMessageBox::Information, cstInformationStr, cstRebootMessage);
  } catch (const std::exception& Error) {
    MessageDlg(this, QMessageBox::Critical, cstErrorStr, Format(cstConfigSaveError, Error.what()));
  }
  acSave->SetEnabled(false);
}

void TfrmConfig::SelectDirectory(TEdit* Edit, const std::string& Caption) {
  const QString Start = ToQt(Trim(ToStd(Edit->Object()->text())));
  const QString Chosen = QFileDialog::getExistingDirectory(this, ToQt(Caption), Start,
                                                           QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  if (!Chosen.isEmpty() && Chosen != Edit->Object()->text()) Edit->Object()->setText(Chosen);
}

void TfrmConfig::acSelLogDirExecute() {
  if (FStartModes.Contains(smConfig)) SelectDirectory(edLogPath, cstHintConfSelLogDir);
}

void TfrmConfig::acSelTempDirExecute() {
  if (FStartModes.Contains(smConfig)) SelectDirectory(edTempDir, cstHintConfSelTempDir);
}

void TfrmConfig::acRefreshExecute() {
  try {
    RemoveSettingsPages();
    FManager.reset();
    FManager = std::make_unique<TModuleManager>();
    AddSettingsPages();
    LoadControls();
    FillModuleGrid();
  } catch (...) {
    // A failed refresh shows nothing: the next showing tries again.
    vtModules->setRowCount(0);
  }
}

void TfrmConfig::acExitExecute() {
  if (!ConfirmSave()) return;
  RemoveSettingsPages();
  Close();
}

void TfrmConfig::LanguageChanged() {
  const int Page = pcItems->Object()->ActivePageIndex();
  if (TransFormList && LangManager) TransFormList->ChangeLanguage(LangManager->LangPath);
  TranslateConstants();
  ApplyCatalogueTexts();
  acRefreshExecute();
  if (Page < pcItems->Object()->PageCount()) pcItems->Object()->SetActivePageIndex(Page);
}

void TfrmConfig::FormShow() {
  tiService->Object()->show();
  SetStatusTimer(true);
  if (FStartModes.Contains(smConfig)) {
    pcItems->Object()->SetTabVisible(tsDB->Object(), true);
    pcItems->Object()->SetTabVisible(tsCommon->Object(), true);
    mitSeparator1->Object()->setVisible(true);
    mitService->Object()->setVisible(true);
    pcItems->Object()->SetActivePage(tsCommon->Object());
    for (TToolButton* Button : {tbtInstall, tbtUninstall, tbtSave, tbrSep1, tbrSep2}) Button->SetVisible(true);
  }
  if (FStartModes.Contains(smMonitor)) {
    if (FStartModes.Contains(smConfig)) pcItems->Object()->SetTabVisible(tsMonitor->Object(), true);
    sbrEvents->Panels[1].SetText("");
    pcItems->Object()->SetActivePage(tsMonitor->Object());
  }
  TranslateForm(*this);
  acRefreshExecute();
}

void TfrmConfig::FormResize() {
  if (sbrEvents->Panels.Count() > 0) sbrEvents->Panels[0].SetWidth(width() - 150);
}

void TfrmConfig::acHideExecute() {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) {
    // Without a notification area the window would be lost: it goes to the
    // task bar instead.
    showMinimized();
    return;
  }
  hide();
  acHide->SetEnabled(false);
  acShow->SetEnabled(true);
}

void TfrmConfig::acShowExecute() {
  showNormal();
  acHide->SetEnabled(true);
  acShow->SetEnabled(false);
  raise();
  activateWindow();
}

void TfrmConfig::tiServiceDblClick() {
  if (acHide->Enabled())
    acHideExecute();
  else
    acShowExecute();
}

void TfrmConfig::AppEventsHint(const std::string& Hint) {
  if (tiService->Object()->isVisible()) sbrEvents->Panels[0].SetText(Hint);
}

void TfrmConfig::ApplyServiceState(TServiceStateCode Code) {
  FServiceState = Code;
  acStart->SetEnabled(Code == sscPaused || Code == sscStopped);
  acStop->SetEnabled(Code == sscRunning || Code == sscPaused);
  acPause->SetEnabled(Code == sscRunning);
  acInstall->SetEnabled(Code == sscNotInstalled);
  acUninstall->SetEnabled(Code == sscStopped || Code == sscUnknown);
}

void TfrmConfig::DoServiceCommand(TServiceCommand Command) {
  SetStatusTimer(false);
  FServiceControl->SendServiceCommand(ServiceSysName, Command);
  ApplyServiceState(FServiceControl->QueryServiceState(ServiceSysName));
  // A poll that started before the command answers about the old state.
  if (FPendingPoll.valid()) FPendingPoll.wait();
  FPendingPoll = {};
  SetStatusTimer(true);
}

void TfrmConfig::acStartExecute() {
  if (ConfirmSave()) DoServiceCommand(scStart);
}

void TfrmConfig::acPauseExecute() {
  if (ConfirmSave()) DoServiceCommand(scRestart);
}

void TfrmConfig::acStopExecute() { DoServiceCommand(scStop); }

void TfrmConfig::acInstallExecute() {
  if (!FStartModes.Contains(smConfig)) return;
  SetStatusTimer(false);
  const int Granted = GrantServiceLogonRight(FSettings.WinAccount, FSettings.WinPassword);
  const std::string* Refusal = Granted == 253   ? &cstConfigRightsLogError
                               : Granted == 254 ? &cstConfigRightsFrmError
                               : Granted == 255 ? &cstConfigRightsAccessError
                               : Granted == 0   ? &cstConfigRightsError
                                                : nullptr;
  if (Refusal) {
    MessageDlg(this, QMessageBox::Critical, cstErrorStr, *Refusal);
    pcItems->Object()->SetActivePage(tsCommon->Object());
    return;
  }
  if (acSave->Enabled()) acSaveExecute(nullptr);
  RunInstaller(true);
  ApplyServiceState(FServiceControl->QueryServiceState(ServiceSysName));
  acInstall->SetEnabled(false);
  SetStatusTimer(true);
}

void TfrmConfig::acUninstallExecute() {
  if (!FStartModes.Contains(smConfig)) return;
  SetStatusTimer(false);
  RunInstaller(false);
  ApplyServiceState(FServiceControl->QueryServiceState(ServiceSysName));
  acUninstall->SetEnabled(false);
  SetStatusTimer(true);
}

void TfrmConfig::RunInstaller(bool Install) {
  if (!FStartModes.Contains(smConfig)) return;
  StartDetached({FInstallerPath, Install ? "/install" : "/uninstall", "/silent"});
}

void TfrmConfig::tmrStatusTimer() {
  using namespace std::chrono_literals;
  if (FPendingPoll.valid() && FPendingPoll.wait_for(0s) == std::future_status::ready) {
    ApplyServiceState(FPendingPoll.get());
    // A stopped service leaves nothing to end: systemd ends every process of
    // its unit, and a process of this executable outside the unit is an
    // installer or another administrator's window.
  }
  if (!FPendingPoll.valid())
    FPendingPoll = std::async(std::launch::async,
                              [Control = FServiceControl.get()] { return Control->QueryServiceState(ServiceSysName); });
}

void TfrmConfig::showEvent(QShowEvent* Event) {
  TForm::showEvent(Event);
  if (!Event->spontaneous()) FormShow();
}

void TfrmConfig::resizeEvent(QResizeEvent* Event) {
  TForm::resizeEvent(Event);
  FormResize();
}

void TfrmConfig::changeEvent(QEvent* Event) {
  TForm::changeEvent(Event);
  if (Event->type() != QEvent::WindowStateChange || !isMinimized()) return;
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
  // Minimizing sends the window to the notification area.
  QTimer::singleShot(0, this, [this] {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    acHideExecute();
  });
}

void TfrmConfig::closeEvent(QCloseEvent* Event) {
  if (Closed()) return;
  Event->ignore();
  acExitExecute();
}

bool TfrmConfig::event(QEvent* Event) {
  if (Event->type() == QEvent::StatusTip) {
    AppEventsHint(ToStd(static_cast<QStatusTipEvent*>(Event)->tip()));
    return true;
  }
  return TForm::event(Event);
}

}  // namespace relaybird
