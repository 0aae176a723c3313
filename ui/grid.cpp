#include "ui/grid.h"

#include <QHeaderView>
#include <QStyledItemDelegate>

namespace relaybird {

namespace {

class TCellDelegate : public QStyledItemDelegate {
 public:
  TCellDelegate(QObject* Parent, const TDBGrid& Grid) : QStyledItemDelegate(Parent), FGrid(Grid) {}
  void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    if (!FGrid.OnDrawColumnCell || !FGrid.OnDrawColumnCell(Painter, Option, Index))
      QStyledItemDelegate::paint(Painter, Option, Index);
  }

 private:
  const TDBGrid& FGrid;
};

}  // namespace

std::vector<TPublishedProperty> TColumnTitle::PublishedProperties() {
  return {TextProperty("Caption", [this] { return Caption(); },
                       [this](const std::string& Text) { SetCaption(Text); })};
}

std::string TColumnTitle::Caption() const {
  return FModel ? ToStd(FModel->headerData(FColumn, Qt::Horizontal).toString()) : std::string();
}

void TColumnTitle::SetCaption(const std::string& Caption) {
  if (FModel) FModel->setHeaderData(FColumn, Qt::Horizontal, ToQt(Caption));
}

std::vector<TPublishedProperty> TColumn::PublishedProperties() {
  return {TextProperty("FieldName", [this] { return FieldName; },
                       [this](const std::string& Text) { FieldName = Text; }),
          ObjectProperty("Title", [this] { return static_cast<TPersistent*>(&Title); })};
}

TDBGrid::TDBGrid(const std::string& Name, QTableView* View)
    : TControl(Name, View), FModel(new QStandardItemModel(View)) {
  View->setModel(FModel);
  View->verticalHeader()->setDefaultSectionSize(18);
  View->setEditTriggers(QAbstractItemView::NoEditTriggers);
  View->setSelectionBehavior(QAbstractItemView::SelectRows);
  View->setSelectionMode(QAbstractItemView::SingleSelection);
  View->setItemDelegate(new TCellDelegate(View, *this));
}

int TDBGrid::ColumnOf(const std::string& FieldName) const {
  for (std::size_t Index = 0; Index < FColumns.size(); ++Index)
    if (FColumns[Index]->FieldName == FieldName) return static_cast<int>(Index);
  return -1;
}

int TDBGrid::CurrentRow() const {
  const QModelIndex Current = FObject ? FObject->currentIndex() : QModelIndex();
  return Current.isValid() ? Current.row() : -1;
}

std::vector<TPublishedProperty> TDBGrid::PublishedProperties() {
  return {ObjectProperty("Columns", [this] { return static_cast<TPersistent*>(&FColumnsObject); }),
          HintProperty()};
}

TColumn& TDBGrid::AddColumn(const std::string& FieldName, const std::string& Title, int Width) {
  const int Index = static_cast<int>(FColumns.size());
  FModel->setColumnCount(Index + 1);
  FColumns.push_back(std::make_unique<TColumn>(FModel.data(), Index, FieldName));
  FItems.push_back(FColumns.back().get());
  FColumns.back()->Title.SetCaption(Title);
  FObject->setColumnWidth(Index, Width);
  return *FColumns.back();
}

}  // namespace relaybird
