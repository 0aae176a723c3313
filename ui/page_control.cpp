#include "ui/page_control.h"

#include <QVBoxLayout>

namespace relaybird {

TPageControlWidget::TPageControlWidget(QWidget* Parent)
    : QWidget(Parent), FTabs(new QTabBar(this)), FStack(new QStackedWidget(this)), FEmpty(new QWidget(FStack)) {
  auto* Layout = new QVBoxLayout(this);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->setSpacing(0);
  Layout->addWidget(FTabs);
  Layout->addWidget(FStack, 1);
  FStack->addWidget(FEmpty);
  FStack->setFrameShape(QFrame::StyledPanel);
  FTabs->setDrawBase(false);
  connect(FTabs, &QTabBar::currentChanged, this, [this](int Tab) {
    if (FRebuilding || Tab < 0) return;
    SetActivePageIndex(FTabs->tabData(Tab).toInt());
  });
}

void TPageControlWidget::AddPage(QWidget* Page, const QString& Caption) {
  FPages.push_back({Page, Caption, true});
  FStack->addWidget(Page);
  RebuildTabs();
}

void TPageControlWidget::RemovePage(QWidget* Page) {
  const int Index = IndexOf(Page);
  if (Index < 0) return;
  FPages.erase(FPages.begin() + Index);
  FStack->removeWidget(Page);
  if (FActive == Page) FActive = nullptr;
  RebuildTabs();
}

QWidget* TPageControlWidget::Page(int Index) const {
  return Index >= 0 && Index < PageCount() ? FPages[static_cast<std::size_t>(Index)].Widget.data() : nullptr;
}

QWidget* TPageControlWidget::FindPage(const QString& Name) const {
  for (const TPage& Entry : FPages)
    if (Entry.Widget && Entry.Widget->objectName() == Name) return Entry.Widget.data();
  return nullptr;
}

int TPageControlWidget::IndexOf(const QWidget* Page) const {
  for (int i = 0; i < PageCount(); ++i)
    if (Page && FPages[static_cast<std::size_t>(i)].Widget == Page) return i;
  return -1;
}

void TPageControlWidget::SetCaption(QWidget* Page, const QString& Caption) {
  const int Index = IndexOf(Page);
  if (Index < 0) return;
  FPages[static_cast<std::size_t>(Index)].Caption = Caption;
  RebuildTabs();
}

QString TPageControlWidget::Caption(const QWidget* Page) const {
  const int Index = IndexOf(Page);
  return Index < 0 ? QString() : FPages[static_cast<std::size_t>(Index)].Caption;
}

void TPageControlWidget::SetTabVisible(QWidget* Page, bool Visible) {
  const int Index = IndexOf(Page);
  if (Index < 0) return;
  FPages[static_cast<std::size_t>(Index)].TabVisible = Visible;
  RebuildTabs();
}

bool TPageControlWidget::TabVisible(const QWidget* Page) const {
  const int Index = IndexOf(Page);
  return Index >= 0 && FPages[static_cast<std::size_t>(Index)].TabVisible;
}

int TPageControlWidget::ActivePageIndex() const { return IndexOf(FActive); }

void TPageControlWidget::SetActivePageIndex(int Index) {
  FActive = Page(Index);
  FStack->setCurrentWidget(FActive ? FActive.data() : FEmpty);
  RebuildTabs();
}

void TPageControlWidget::RebuildTabs() {
  FRebuilding = true;
  while (FTabs->count() > 0) FTabs->removeTab(0);
  for (int i = 0; i < PageCount(); ++i) {
    const TPage& Entry = FPages[static_cast<std::size_t>(i)];
    if (!Entry.TabVisible || !Entry.Widget) continue;
    const int Tab = FTabs->addTab(Entry.Caption);
    FTabs->setTabData(Tab, i);
    if (Entry.Widget == FActive) FTabs->setCurrentIndex(Tab);
  }
  // A shown page without a tab leaves no tab selected.
  if (FActive && !TabVisible(FActive)) FTabs->setCurrentIndex(-1);
  FTabs->setVisible(FTabs->count() > 0);
  FRebuilding = false;
}

std::vector<TPublishedProperty> TTabSheet::PublishedProperties() {
  return {TextProperty(
              "Caption", [this] { return FPageControl ? ToStd(FPageControl->Caption(Object())) : std::string(); },
              [this](const std::string& Text) {
                if (FPageControl) FPageControl->SetCaption(Object(), ToQt(Text));
              }),
          HintProperty()};
}

}  // namespace relaybird
