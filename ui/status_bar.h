#pragma once
// A status bar of fixed-width text panels, its panel collection and panels.
// User-interface thread only.
#include <QLabel>
#include <QStatusBar>
#include <memory>

#include "ui/control.h"

namespace relaybird {

class TStatusPanel : public TPersistent {
 public:
  explicit TStatusPanel(QLabel* Label) : FLabel(Label) {}
  std::vector<TPublishedProperty> PublishedProperties() override;
  std::string Text() const { return FLabel ? ToStd(FLabel->text()) : std::string(); }
  void SetText(const std::string& Text);
  int Width() const { return FLabel ? FLabel->width() : 0; }
  void SetWidth(int Width);

 private:
  QPointer<QLabel> FLabel;
};

class TStatusPanels : public TPersistent {
 public:
  std::vector<TPersistent*>* CollectionItems() override { return &FItems; }
  TStatusPanel& Add(QLabel* Label);
  TStatusPanel& operator[](std::size_t Index) { return *FPanels.at(Index); }
  std::size_t Count() const { return FPanels.size(); }

 private:
  std::vector<std::unique_ptr<TStatusPanel>> FPanels;
  std::vector<TPersistent*> FItems;
};

class TStatusBar : public TControl<QStatusBar> {
 public:
  using TControl::TControl;
  std::vector<TPublishedProperty> PublishedProperties() override;
  TStatusPanel& AddPanel(int Width);
  TStatusPanels Panels;
};

}  // namespace relaybird
