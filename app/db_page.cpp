// The database page of the configuration window: the connections, their
// editor and their test.
#include <QApplication>

#include "app/config_form.h"
#include "app/connect_edit.h"
#include "db/connection_test.h"
#include "relaybird/catalogue.h"
#include "ui/message_dlg.h"
#include "ui/wait_cursor.h"

namespace relaybird {

namespace {

// The hidden fields of a row live in its first cell.
constexpr int StatusRole = Qt::UserRole;
constexpr int PtrRole = Qt::UserRole + 1;
constexpr int ShemaRole = Qt::UserRole + 2;

bool TestWaiting(const TConnectionSettings& Settings, std::string& ErrorText) {
  TWaitCursor Waiting;
  return TestConnection(Settings, ErrorText);
}

bool TestWaiting(const TConnectionSettings& Settings) {
  std::string Ignored;
  return TestWaiting(Settings, Ignored);
}

}  // namespace

void TfrmConfig::SetConnectionRow(int Row, const TConnectionSettings* Item, bool Status, const std::string& Home) {
  if (Row >= vtConnect->rowCount()) vtConnect->setRowCount(Row + 1);
  const auto Cell = [this, Row](const char* Field) {
    auto* New = new QStandardItem;
    vtConnect->setItem(Row, grdConn->ColumnOf(Field), New);
    return New;
  };
  QStandardItem* StatusCell = Cell("Status");
  StatusCell->setData(Status, StatusRole);
  StatusCell->setData(QVariant::fromValue(reinterpret_cast<quintptr>(Item)), PtrRole);
  StatusCell->setData(ToQt(Item->OraSchema), ShemaRole);
  Cell("Server")->setText(ToQt(Item->OraServer));
  Cell("User")->setText(ToQt(Item->OraUser));
  Cell("Home")->setText(ToQt(Home));
}

bool TfrmConfig::ConnectionStatus(int Row) const {
  const QStandardItem* Item = vtConnect->item(Row, 0);
  return Item && Item->data(StatusRole).toBool();
}

TConnectionSettings* TfrmConfig::ConnectionItem(int Row) const {
  const QStandardItem* Item = vtConnect->item(Row, 0);
  return Item ? reinterpret_cast<TConnectionSettings*>(Item->data(PtrRole).value<quintptr>()) : nullptr;
}

void TfrmConfig::FillConnectionGrid() {
  QTableView* View = grdConn->Object();
  View->setUpdatesEnabled(false);
  vtConnect->setRowCount(0);
  FConnections->LoadConnections();
  for (int Index = 0; Index < FConnections->Count(); ++Index) {
    TConnectionSettings* Item = FConnections->Items(Index);
    SetConnectionRow(Index, Item, TestWaiting(*Item), FormatOracleHome(Item->OraHome));
  }
  if (vtConnect->rowCount() > 0) View->setCurrentIndex(vtConnect->index(0, 0));
  View->setUpdatesEnabled(true);
  FConnectionsChanged = false;
}

void TfrmConfig::actDBAddExecute() {
  TConnectionSettings Settings;
  std::string HomeText;
  if (!NewConnectionDialog(Settings, HomeText, this)) return;
  const int Index = FConnections->Add(Settings);
  const int Row = vtConnect->rowCount();
  SetConnectionRow(Row, FConnections->Items(Index), TestWaiting(Settings), HomeText);
  grdConn->Object()->setCurrentIndex(vtConnect->index(Row, 0));
  FConnectionsChanged = true;
  acSave->SetEnabled(true);
}

void TfrmConfig::actDBEditExecute() {
  const int Row = grdConn->CurrentRow();
  if (Row < 0) return;
  const int Index = FConnections->IndexOf(ConnectionItem(Row));
  if (Index < 0) return;
  TConnectionSettings Settings = *FConnections->Items(Index);
  std::string HomeText;
  if (!EditConnectionDialog(Settings, HomeText, this)) return;
  FConnections->Update(Index, Settings);
  SetConnectionRow(Row, FConnections->Items(Index), TestWaiting(Settings), HomeText);
  FConnectionsChanged = true;
  acSave->SetEnabled(true);
}

void TfrmConfig::actDBDelExecute() {
  const int Row = grdConn->CurrentRow();
  if (Row < 0) return;
  const int Index = FConnections->IndexOf(ConnectionItem(Row));
  if (Index < 0) return;
  FConnections->Delete(Index);
  vtConnect->removeRow(Row);
  FConnectionsChanged = true;
  acSave->SetEnabled(true);
}

void TfrmConfig::TestSelectedConnection(bool ShowResult) {
  const int Row = grdConn->CurrentRow();
  if (Row < 0) return;
  const int Index = FConnections->IndexOf(ConnectionItem(Row));
  if (Index < 0) return;
  const TConnectionSettings Settings = *FConnections->Items(Index);
  std::string ErrorText;
  const bool Passed = TestWaiting(Settings, ErrorText);
  if (!ShowResult) return;
  if (Passed)
    MessageDlg(this, QMessageBox::Information, cstInformationStr, cstConfigConnectTrue);
  else
    MessageDlg(this, QMessageBox::Critical, cstErrorStr, ErrorText);
}

void TfrmConfig::acConnectExecute() { TestSelectedConnection(true); }

void TfrmConfig::grdConnDblClick() {
  if (vtConnect->rowCount() > 0) actDBEditExecute();
}

bool TfrmConfig::grdConnDrawColumnCell(QPainter* Painter, const QStyleOptionViewItem& Option,
                                       const QModelIndex& Index) {
  if (vtConnect->rowCount() == 0 || Index.column() != grdConn->ColumnOf("Status")) return false;
  // The cell is cleared the way the view clears it: selection included.
  QStyleOptionViewItem Cleared = Option;
  Cleared.text.clear();
  QApplication::style()->drawControl(QStyle::CE_ItemViewItem, &Cleared, Painter, grdConn->Object());
  const QRect& Cell = Option.rect;
  Painter->drawPixmap(Cell.left() + Cell.width() / 2 - 8, Cell.top() + 1,
                      ilConnection[ConnectionStatus(Index.row()) ? 0 : 1]);
  return true;
}

}  // namespace relaybird
