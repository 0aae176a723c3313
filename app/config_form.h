#pragma once
// The configuration and monitor window: the service settings page, saving,
// service control, the notification-area icon and the status bar. The pages
// of the database and of the modules are placed here; their contents belong
// to their own pages' code. User-interface thread only.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <array>
#include <future>
#include <memory>
#include <string>

#include "app/service_control.h"
#include "app/start_modes.h"
#include "db/connection_list.h"
#include "modules/module_manager.h"
#include "platform/named_mutex.h"
#include "core/settings_file.h"
#include "relaybird/settings.h"
#include "ui/actions.h"
#include "ui/base_settings_frame.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/grid.h"
#include "ui/lang_menu.h"
#include "ui/page_control.h"
#include "ui/spin_edit.h"
#include "ui/status_bar.h"
#include "ui/tool_bar.h"
#include "ui/tray_icon.h"

namespace relaybird {

class TfrmConfig : public TForm {
 public:
  // FormCreate runs here.
  TfrmConfig(TStartModes StartModes, std::unique_ptr<TServiceControl> ServiceControl);
  // FormDestroy.
  ~TfrmConfig() override;

  static constexpr const char* InstanceMutexName = "F754FF24-7750-4717-9F25-1BA783B57C43";
  static constexpr int ClientWidth = 830;
  static constexpr int ClientHeight = 430;

  bool AcquireInstanceMutex();
  void ApplyCatalogueTexts();
  void LoadControls();
  bool IsModified();
  bool ConfirmSave();
  void LanguageChanged();

  void FormShow();
  void FormResize();
  void acSaveExecute(TAction* Sender);
  void acExitExecute();
  void acSelLogDirExecute();
  void acSelTempDirExecute();
  void acRefreshExecute();
  void edWinUserChange();
  void edWinPassChange();
  void edLogPathChange();
  void edTempDirChange();
  void cbSystemLogClick();
  void sedConnectChange();
  void sedDelayChange();
  void sedConnectKeyPress(QChar& Key);
  void sedDelayKeyPress(QChar& Key);
  // The key filter of both spin edits on the text shown before the key.
  static bool KeyRefused(const QString& Text, QChar Key);

  // The database page.
  void FillConnectionGrid();
  void TestSelectedConnection(bool ShowResult);
  void actDBAddExecute();
  void actDBEditExecute();
  void actDBDelExecute();
  void acConnectExecute();
  void grdConnDblClick();
  bool grdConnDrawColumnCell(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index);
  // The row's Status; false outside the table.
  bool ConnectionStatus(int Row) const;
  // The row's item of FConnections; null outside the table.
  TConnectionSettings* ConnectionItem(int Row) const;

  // The modules page and the module settings pages.
  void FillModuleGrid();
  void cdsModulesAfterScroll();
  void SetModuleLoaded(bool Value);
  void acLoadExecute() { SetModuleLoaded(true); }
  void acUnloadExecute() { SetModuleLoaded(false); }
  void AddSettingsPages();
  void AddSettingsPage(const TSettingsFrameClass* FrameClass);
  void RemoveSettingsPages();
  void RemoveSettingsPage(TfrBaseSettings* Frame, const std::string& ClassName);
  std::string UniqueComponentName(const std::string& ClassName, const std::string& Prefix) const;
  void FrameChanged();
  void FrameStatusText(const std::string& Text);
  // The row's fields of vtModules; empty outside the table.
  std::string ModuleFile(int Row) const;
  bool ModuleLoaded(int Row) const;

  // The enabling of the page actions.
  void alConfigUpdate();

  void acHideExecute();
  void acShowExecute();
  void tiServiceDblClick();
  void AppEventsHint(const std::string& Hint);

  void ApplyServiceState(TServiceStateCode Code);
  void DoServiceCommand(TServiceCommand Command);
  void acStartExecute();
  void acPauseExecute();
  void acStopExecute();
  void acInstallExecute();
  void acUninstallExecute();
  void RunInstaller(bool Install);
  void tmrStatusTimer();

  // The window's components, by their names.
  TToolBar* tbrMenu;
  TToolButton *tbrSep1, *tbtInstall, *tbtUninstall, *tbrSep2, *tbtSave, *btnLangs, *tbrSep3;
  TActionList* alConfig;
  TAction *acStart, *acPause, *acStop, *acInstall, *acUninstall, *acSave, *acHide, *acShow, *acExit;
  TAction *acSelLogDir, *acSelTempDir, *acRefresh, *acLoad, *acUnload, *acConnect;
  TAction *actDBAdd, *actDBEdit, *actDBDel;
  TPageControl* pcItems;
  TTabSheet *tsMonitor, *tsCommon, *tsDB;
  TGroupBox *gbMain, *gbIntervals, *gbAccount, *gbLog, *gbTempDir;
  TLabel *lblConnect, *lblConnectUnit, *lblDelay, *lblDelayUnit, *lblWinUser, *lblWinPass, *lblLogCaption, *lblLogPath;
  TSpinEdit *sedConnect, *sedDelay;
  TEdit *edWinUser, *edWinPass, *edLogPath, *edTempDir;
  TButton *cbSystemLog, *btnSelLogDir, *btnSelTempDir;
  TLabel *lblModules, *lblModuleInfo;
  TDBGrid *grdModules, *grdConn;
  // The in-memory tables are the grids' models.
  QStandardItemModel *vtModules, *vtConnect;
  // 0: a working connection, 1: a failing one.
  std::array<QPixmap, 2> ilConnection;
  QLabel* imgModuleIcon;
  TGroupBox* gbModule;
  TLabel *lblDesc, *lblFile;
  // Module data, never translated.
  QLabel *dbtName, *dbtShortFile;
  QPlainTextEdit *dbmDesc, *dbmFile;
  TToolBar *tlbModules, *tlbConnection;
  TStatusBar* sbrEvents;
  TTrayIcon* tiService;
  TPopupMenu *pmService, *pmLangs;
  TMenuItem *mitSeparator1, *mitService;
  TTimer* tmrStatus;

  TServiceSettings FSettings;
  TStartModes FStartModes;
  std::unique_ptr<TNamedMutex> FInstanceMutex;
  std::unique_ptr<TConnectionList> FConnections;
  bool FConnectionsChanged = false;
  std::unique_ptr<TModuleManager> FManager;
  // A frame lives in its library's code: each is removed before FManager
  // lets the library go.
  struct TFramePage {
    TfrBaseSettings* Frame;
    std::string ClassName;
  };
  std::vector<TFramePage> FFrames;
  // The program RunInstaller starts: the running executable.
  std::string FInstallerPath;
  // The last state applied.
  TServiceStateCode FServiceState = sscUnknown;

 protected:
  void showEvent(QShowEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  void changeEvent(QEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;
  bool event(QEvent* Event) override;

 private:
  void BuildToolBar();
  void BuildPages();
  QWidget* BuildCommonPage();
  QWidget* BuildMonitorPage();
  QWidget* BuildDbPage();
  QWidget* BuildModuleInfo(QWidget* Parent);
  // A row for the list item Item: its fields, its status and its home text.
  void SetConnectionRow(int Row, const TConnectionSettings* Item, bool Status, const std::string& Home);
  void BuildStatusBar();
  void BuildTrayIcon();
  void SetPageTabsVisible(bool Monitor, bool Common, bool Db);
  // Only the window's setting-up code writes controls while this is set.
  void SelectDirectory(TEdit* Edit, const std::string& Caption);
  void SetStatusTimer(bool Enabled) { tmrStatus->SetEnabled(Enabled); }

  std::unique_ptr<TServiceControl> FServiceControl;
  std::future<TServiceStateCode> FPendingPoll;
  std::unique_ptr<TLangMenuItems> FLangMenu;
};

}  // namespace relaybird
