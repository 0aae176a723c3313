#pragma once
// A read-only grid of whole rows with a column collection whose titles carry
// the header captions, and an own drawing of cells on request.
// User-interface thread only.
#include <QPainter>
#include <QStandardItemModel>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <functional>
#include <memory>

#include "ui/control.h"

namespace relaybird {

class TColumnTitle : public TPersistent {
 public:
  TColumnTitle(QStandardItemModel* Model, int Column) : FModel(Model), FColumn(Column) {}
  std::vector<TPublishedProperty> PublishedProperties() override;
  std::string Caption() const;
  void SetCaption(const std::string& Caption);

 private:
  QPointer<QStandardItemModel> FModel;
  int FColumn;
};

class TColumn : public TPersistent {
 public:
  TColumn(QStandardItemModel* Model, int Column, std::string FieldName)
      : Title(Model, Column), FieldName(std::move(FieldName)) {}
  std::vector<TPublishedProperty> PublishedProperties() override;
  TColumnTitle Title;
  std::string FieldName;
};

class TDBGrid : public TControl<QTableView> {
 public:
  // The view gets a model of its own, kept by the view.
  TDBGrid(const std::string& Name, QTableView* View);
  std::vector<TPublishedProperty> PublishedProperties() override;
  TColumn& AddColumn(const std::string& FieldName, const std::string& Title, int Width);
  QStandardItemModel* Model() const { return FModel; }
  // The position of the column showing FieldName; -1 when none does.
  int ColumnOf(const std::string& FieldName) const;
  // The current row; -1 when there is none.
  int CurrentRow() const;

  // Draws a cell itself and answers true, or answers false for the default
  // drawing.
  std::function<bool(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index)>
      OnDrawColumnCell;

 private:
  QPointer<QStandardItemModel> FModel;
  std::vector<std::unique_ptr<TColumn>> FColumns;
  std::vector<TPersistent*> FItems;

  class TColumns : public TPersistent {
   public:
    explicit TColumns(std::vector<TPersistent*>& Items) : FItems(Items) {}
    std::vector<TPersistent*>* CollectionItems() override { return &FItems; }

   private:
    std::vector<TPersistent*>& FItems;
  } FColumnsObject{FItems};
};

}  // namespace relaybird
