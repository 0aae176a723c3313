#include "ui/status_bar.h"

namespace relaybird {

std::vector<TPublishedProperty> TStatusPanel::PublishedProperties() {
  return {TextProperty("Text", [this] { return Text(); }, [this](const std::string& New) { SetText(New); })};
}

void TStatusPanel::SetText(const std::string& Text) {
  if (FLabel) FLabel->setText(ToQt(Text));
}

void TStatusPanel::SetWidth(int Width) {
  if (FLabel) FLabel->setFixedWidth(Width < 0 ? 0 : Width);
}

TStatusPanel& TStatusPanels::Add(QLabel* Label) {
  FPanels.push_back(std::make_unique<TStatusPanel>(Label));
  FItems.push_back(FPanels.back().get());
  return *FPanels.back();
}

std::vector<TPublishedProperty> TStatusBar::PublishedProperties() {
  return {HintProperty(), ObjectProperty("Panels", [this] { return static_cast<TPersistent*>(&Panels); })};
}

TStatusPanel& TStatusBar::AddPanel(int Width) {
  auto* Label = new QLabel(FObject.data());
  Label->setFrameShape(QFrame::Panel);
  Label->setFrameShadow(QFrame::Sunken);
  FObject->addWidget(Label);
  TStatusPanel& Panel = Panels.Add(Label);
  Panel.SetWidth(Width);
  return Panel;
}

}  // namespace relaybird
