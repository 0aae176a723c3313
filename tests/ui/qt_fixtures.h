#pragma once
// Helpers of the window tests: an application on the offscreen platform and
// an answerer for the modal boxes and dialogs a window opens.
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace relaybird::test {

struct TAnsweredBox {
  std::string Caption;
  std::string Text;
  QMessageBox::Icon Icon;
};

// While it lives, every message box that opens is recorded and answered with
// the next of the given buttons (the last one again when they run out), and
// every folder dialog is answered with Folder.
class TModalAnswerer {
 public:
  explicit TModalAnswerer(std::vector<QMessageBox::StandardButton> Buttons = {QMessageBox::Ok},
                          QString Folder = {})
      : FButtons(std::move(Buttons)), FFolder(std::move(Folder)) {
    QObject::connect(&FTimer, &QTimer::timeout, [this] { Answer(); });
    FTimer.start(10);
  }
  const std::vector<TAnsweredBox>& Boxes() const { return FBoxes; }
  int Dialogs() const { return FDialogs; }

 private:
  void Answer() {
    QWidget* Modal = QApplication::activeModalWidget();
    if (auto* Box = qobject_cast<QMessageBox*>(Modal)) {
      FBoxes.push_back({Box->windowTitle().toStdString(), Box->text().toStdString(), Box->icon()});
      const QMessageBox::StandardButton Button = FButtons[std::min(FNext++, FButtons.size() - 1)];
      Box->button(Button)->click();
    } else if (auto* Dialog = qobject_cast<QFileDialog*>(Modal)) {
      ++FDialogs;
      Dialog->setDirectory(FFolder);
      Dialog->selectFile(FFolder);
      QMetaObject::invokeMethod(Dialog, "accept");
    }
  }

  std::vector<QMessageBox::StandardButton> FButtons;
  QString FFolder;
  std::size_t FNext = 0;
  std::vector<TAnsweredBox> FBoxes;
  int FDialogs = 0;
  QTimer FTimer;
};

// Runs Act once on the dialog of class TDialog when it is shown modally.
template <class TDialog>
class TDialogDriver {
 public:
  explicit TDialogDriver(std::function<void(TDialog&)> Act) : FAct(std::move(Act)) {
    QObject::connect(&FTimer, &QTimer::timeout, [this] {
      auto* Dialog = dynamic_cast<TDialog*>(QApplication::activeModalWidget());
      if (!Dialog || FDone) return;
      FDone = true;
      Caption = Dialog->windowTitle().toStdString();
      FAct(*Dialog);
    });
    FTimer.start(10);
  }
  std::string Caption;

 private:
  std::function<void(TDialog&)> FAct;
  bool FDone = false;
  QTimer FTimer;
};

}  // namespace relaybird::test
