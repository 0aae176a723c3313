#pragma once
// A page control whose tabs can be hidden while their pages stay reachable:
// a page without a visible tab can still be the page shown. User-interface
// thread only.
#include <QPointer>
#include <QTabBar>
#include <QStackedWidget>
#include <QWidget>
#include <vector>

#include "ui/control.h"

namespace relaybird {

class TPageControlWidget : public QWidget {
 public:
  explicit TPageControlWidget(QWidget* Parent = nullptr);

  // Appends Page (now a child of the control) with a visible tab.
  void AddPage(QWidget* Page, const QString& Caption);
  // Takes Page out without deleting it.
  void RemovePage(QWidget* Page);
  int PageCount() const { return static_cast<int>(FPages.size()); }
  QWidget* Page(int Index) const;
  int IndexOf(const QWidget* Page) const;
  // The first page of that object name; null when none.
  QWidget* FindPage(const QString& Name) const;

  void SetCaption(QWidget* Page, const QString& Caption);
  QString Caption(const QWidget* Page) const;
  void SetTabVisible(QWidget* Page, bool Visible);
  bool TabVisible(const QWidget* Page) const;

  // -1: no page is shown.
  int ActivePageIndex() const;
  void SetActivePageIndex(int Index);
  void SetActivePage(QWidget* Page) { SetActivePageIndex(IndexOf(Page)); }
  QWidget* ActivePage() const { return Page(ActivePageIndex()); }
  QTabBar* TabBar() const { return FTabs; }

 private:
  struct TPage {
    QPointer<QWidget> Widget;
    QString Caption;
    bool TabVisible = true;
  };
  void RebuildTabs();

  QTabBar* FTabs;
  QStackedWidget* FStack;
  QWidget* FEmpty;
  std::vector<TPage> FPages;
  QPointer<QWidget> FActive;
  bool FRebuilding = false;
};

class TPageControl : public TControl<TPageControlWidget> {
 public:
  using TControl::TControl;
  std::vector<TPublishedProperty> PublishedProperties() override { return {HintProperty()}; }
};

class TTabSheet : public TControl<QWidget> {
 public:
  TTabSheet(const std::string& Name, QWidget* Sheet, TPageControlWidget* PageControl)
      : TControl(Name, Sheet), FPageControl(PageControl) {}
  std::vector<TPublishedProperty> PublishedProperties() override;

 private:
  QPointer<TPageControlWidget> FPageControl;
};

}  // namespace relaybird
