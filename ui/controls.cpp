#include "ui/controls.h"

namespace relaybird {

std::vector<TPublishedProperty> TLabel::PublishedProperties() {
  return {ObjectText("Caption", [](QLabel* L) { return L->text(); },
                     [](QLabel* L, const QString& Text) { L->setText(Text); }),
          HintProperty()};
}

std::vector<TPublishedProperty> TButton::PublishedProperties() {
  return {ObjectText("Caption", [](QAbstractButton* B) { return B->text(); },
                     [](QAbstractButton* B, const QString& Text) { B->setText(Text); }),
          HintProperty()};
}

std::vector<TPublishedProperty> TEdit::PublishedProperties() {
  return {HintProperty(), ObjectText("Text", [](QLineEdit* E) { return E->text(); },
                                     [](QLineEdit* E, const QString& Text) { E->setText(Text); })};
}

std::vector<TPublishedProperty> TGroupBox::PublishedProperties() {
  return {ObjectText("Caption", [](QGroupBox* G) { return G->title(); },
                     [](QGroupBox* G, const QString& Text) { G->setTitle(Text); }),
          HintProperty()};
}

std::vector<std::string> TComboItems::Lines() const {
  std::vector<std::string> Result;
  if (FBox)
    for (int i = 0; i < FBox->count(); ++i) Result.push_back(ToStd(FBox->itemText(i)));
  return Result;
}

void TComboItems::SetLines(const std::vector<std::string>& Lines) {
  if (!FBox) return;
  // Item data stays with its item; only the texts change.
  for (int i = 0; i < FBox->count() && i < static_cast<int>(Lines.size()); ++i)
    FBox->setItemText(i, ToQt(Lines[static_cast<std::size_t>(i)]));
}

std::vector<TPublishedProperty> TComboBox::PublishedProperties() {
  return {HintProperty(), ObjectProperty("Items", [this] { return static_cast<TPersistent*>(&FItems); })};
}

}  // namespace relaybird
