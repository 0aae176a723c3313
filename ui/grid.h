#pragma once
// A grid with a column collection whose titles carry the header captions.
// User-interface thread only.
#include <QStandardItemModel>
#include <QTableView>
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
