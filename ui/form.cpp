#include "ui/form.h"

#include <QEventLoop>

namespace relaybird {

TForm::TForm(const std::string& Name, QWidget* Parent) : QWidget(Parent, Qt::Window), TComponent(Name) {
  setObjectName(ToQt(Name));
}

std::vector<TPublishedProperty> TForm::PublishedProperties() {
  return {TextProperty("Caption", [this] { return ToStd(windowTitle()); },
                       [this](const std::string& Text) { setWindowTitle(ToQt(Text)); }),
          TextProperty("Hint", [this] { return ToStd(toolTip()); },
                       [this](const std::string& Text) { setToolTip(ToQt(Text)); }),
          ObjectProperty("PopupMenu", [this] { return static_cast<TPersistent*>(PopupMenu); })};
}

void TForm::ShowModal() {
  FClosed = false;
  show();
  QEventLoop Loop;
  FModalLoop = &Loop;
  if (!FClosed) Loop.exec();
  FModalLoop = nullptr;
}

void TForm::Close() {
  FClosed = true;
  hide();
  if (FModalLoop) FModalLoop->quit();
}

}  // namespace relaybird
