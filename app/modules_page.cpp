// The modules page of the configuration window and the settings pages that
// the modules' frames fill.
#include <QVBoxLayout>

#include "app/config_form.h"
#include "core/settings_file.h"
#include "platform/exe_path.h"
#include "relaybird/catalogue.h"
#include "relaybird/ini_file.h"
#include "ui/message_dlg.h"

namespace relaybird {

namespace {

// The hidden fields of a row live in its first cell.
constexpr int IconRole = Qt::UserRole;
constexpr int FileRole = Qt::UserRole + 1;
constexpr int LoadedRole = Qt::UserRole + 2;
constexpr int DescRole = Qt::UserRole + 3;
constexpr int ShortFileRole = Qt::UserRole + 4;

const char* const SectionProtocols = "Protocols";
// The failure of a page that cannot be named.
const char* const BadClassName = "Bad format for class name";

std::string ShortFileName(const std::string& Path) {
  return ToStd(ToQt(ExtractFileName(Path)).toLower());
}

}  // namespace

std::string TfrmConfig::ModuleFile(int Row) const {
  const QStandardItem* Item = vtModules->item(Row, 0);
  return Item ? ToStd(Item->data(FileRole).toString()) : std::string();
}

bool TfrmConfig::ModuleLoaded(int Row) const {
  const QStandardItem* Item = vtModules->item(Row, 0);
  return Item && Item->data(LoadedRole).toBool();
}

void TfrmConfig::FillModuleGrid() {
  if (!FManager) {
    vtModules->setRowCount(0);
    return;
  }
  QTableView* View = grdModules->Object();
  View->setUpdatesEnabled(false);
  const int Current = grdModules->CurrentRow();
  const std::string Remembered = Current >= 0 ? ModuleFile(Current) : std::string();
  vtModules->setRowCount(0);
  int Again = 0;
  for (int Index = 0; Index < FManager->Count(); ++Index) {
    TModule* Module = FManager->Items(Index);
    const TModuleInfo& Info = Module->GetInfo();
    const std::string Name = Info.Name ? Info.Name : "";
    const std::string Desc = Info.Description ? Info.Description : "";
    auto* NameCell = new QStandardItem(ToQt(Name));
    NameCell->setData(Index, IconRole);
    NameCell->setData(ToQt(Module->FileName()), FileRole);
    NameCell->setData(Module->Loaded(), LoadedRole);
    NameCell->setData(ToQt(Desc), DescRole);
    NameCell->setData(ToQt(ShortFileName(Module->FileName())), ShortFileRole);
    auto* LoadedCell = new QStandardItem(ToQt(Module->Loaded() ? cstLoadedStr : cstStopStr));
    vtModules->appendRow({NameCell, LoadedCell});
    if (!Remembered.empty() && Module->FileName() == Remembered) Again = Index;
  }
  if (vtModules->rowCount() > 0) View->setCurrentIndex(vtModules->index(Again, 0));
  cdsModulesAfterScroll();
  View->setUpdatesEnabled(true);
}

void TfrmConfig::cdsModulesAfterScroll() {
  const int Row = grdModules->CurrentRow();
  const QStandardItem* Item = vtModules->item(std::max(Row, 0), 0);
  const bool Shown = Row >= 0 && Item;
  dbtName->setText(Shown ? Item->text() : QString());
  dbtShortFile->setText(Shown ? Item->data(ShortFileRole).toString() : QString());
  dbmDesc->setPlainText(Shown ? Item->data(DescRole).toString() : QString());
  dbmFile->setPlainText(Shown ? Item->data(FileRole).toString() : QString());
  if (!Shown || !FManager || FManager->Count() == 0) return;
  const TModule* Module = FManager->Items(Item->data(IconRole).toInt());
  QPixmap Icon;
  if (Module && !Module->Icon().Empty())
    Icon.loadFromData(static_cast<const uchar*>(Module->Icon().Data()), static_cast<uint>(Module->Icon().Size()));
  imgModuleIcon->setPixmap(Icon.isNull() ? QPixmap() : Icon.scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void TfrmConfig::SetModuleLoaded(bool Value) {
  const int Row = grdModules->CurrentRow();
  if (Row < 0 || !FManager || FManager->Count() == 0) return;
  TModule* Module = FManager->FindModule(ModuleFile(Row));
  if (!Module) return;
  try {
    Module->GetInfo();
    TIniFile(SettingsFileName).WriteInteger(SectionProtocols, Module->ID(), Value ? 1 : 0);
  } catch (...) {
    // The grid then shows a state that is not stored.
  }
  vtModules->item(Row, 0)->setData(Value, LoadedRole);
  vtModules->item(Row, 1)->setText(ToQt(Value ? cstLoadedStr : cstStopStr));
}

void TfrmConfig::AddSettingsPages() {
  if (!FManager) return;
  for (int Index = 0; Index < FManager->Count(); ++Index) {
    TModule* Module = FManager->Items(Index);
    for (const std::string& Service : TServicesList(Module->Services())) {
      const TSettingsFrameClass* FrameClass = nullptr;
      try {
        FrameClass = Module->GetSettingsFrame(Service);
      } catch (const std::exception& Error) {
        MessageDlg(this, QMessageBox::NoIcon, ServiceSysName, Error.what());
        continue;
      }
      AddSettingsPage(FrameClass);
    }
  }
}

std::string TfrmConfig::UniqueComponentName(const std::string& ClassName, const std::string& Prefix) const {
  try {
    for (int Index = 0;; ++Index) {
      std::string Name = Prefix + ClassName + std::to_string(Index);
      if (!FindComponent(Name)) return Name;
    }
  } catch (...) {
    return {};
  }
}

void TfrmConfig::AddSettingsPage(const TSettingsFrameClass* FrameClass) {
  if (!FrameClass) return;
  const std::string ClassName = FrameClass->ClassName ? FrameClass->ClassName : "";
  TPageControlWidget* Pages = pcItems->Object();
  auto* Sheet = new QWidget;
  Pages->AddPage(Sheet, QString());
  TfrBaseSettings* Frame = nullptr;
  TTabSheet* SheetComponent = nullptr;
  try {
    Frame = FrameClass->Create(nullptr);
    if (!Frame) throw std::runtime_error("The settings page " + ClassName + " was not created");
    Frame->setParent(Sheet);
    const std::string FrameName = UniqueComponentName(ClassName, "fr");
    if (ClassName.empty() || FrameName.empty()) throw std::runtime_error(BadClassName);
    Frame->SetName(FrameName);
    Frame->setObjectName(ToQt(FrameName));
    auto* Layout = new QVBoxLayout(Sheet);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->addWidget(Frame);
    Frame->InitFrame();
    if (UniqueComponentName("TTabSheet", "ts").empty()) throw std::runtime_error(BadClassName);
    const std::string SheetName = "ts" + ClassName;
    if (FindComponent(SheetName)) throw std::runtime_error("A component named " + SheetName + " already exists");
    SheetComponent = CreateComponent<TTabSheet>(*this, SheetName, Sheet, Pages);
    std::string Caption;
    Frame->GetFrameCaption(Caption);
    Pages->SetCaption(Sheet, ToQt(Caption));
    FFrames.push_back({Frame, ClassName});
  } catch (const std::exception& Error) {
    if (Frame) {
      std::erase_if(FFrames, [Frame](const TFramePage& Page) { return Page.Frame == Frame; });
      Frame->DoneFrame();
      delete Frame;
    }
    if (SheetComponent) FreeComponent(SheetComponent);
    Pages->RemovePage(Sheet);
    delete Sheet;
    MessageDlg(this, QMessageBox::NoIcon, ServiceSysName, Error.what());
  }
}

void TfrmConfig::RemoveSettingsPage(TfrBaseSettings* Frame, const std::string& ClassName) {
  Frame->DoneFrame();
  delete Frame;
  TPageControlWidget* Pages = pcItems->Object();
  const std::string SheetName = "ts" + ClassName;
  QWidget* Sheet = Pages->FindPage(ToQt(SheetName));
  if (!Sheet) return;
  if (TComponent* Component = FindComponent(SheetName)) FreeComponent(Component);
  Pages->RemovePage(Sheet);
  delete Sheet;
}

void TfrmConfig::RemoveSettingsPages() {
  try {
    while (!FFrames.empty()) {
      const TFramePage Page = FFrames.front();
      FFrames.erase(FFrames.begin());
      RemoveSettingsPage(Page.Frame, Page.ClassName);
    }
  } catch (...) {
    FFrames.clear();
  }
}

void TfrmConfig::FrameChanged() {
  if (FStartModes.Contains(smConfig)) acSave->SetEnabled(true);
}

void TfrmConfig::FrameStatusText(const std::string& Text) { sbrEvents->Panels[0].SetText(Text); }

void TfrmConfig::alConfigUpdate() {
  const bool Connections = vtConnect->rowCount() > 0;
  for (TAction* Action : {acConnect, actDBEdit, actDBDel}) Action->SetEnabled(Connections);
  actDBAdd->SetEnabled(true);
  const int Row = grdModules->CurrentRow();
  acLoad->SetEnabled(Row >= 0 && !ModuleLoaded(Row));
  acUnload->SetEnabled(Row >= 0 && ModuleLoaded(Row));
  acRefresh->SetEnabled(true);
}

}  // namespace relaybird
