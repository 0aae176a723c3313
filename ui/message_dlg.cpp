#include "ui/message_dlg.h"

#include <QApplication>

#include "platform/message_box.h"
#include "ui/qt_text.h"

namespace relaybird {

QMessageBox::StandardButton MessageDlg(QWidget* Parent, QMessageBox::Icon Icon, const std::string& Caption,
                                       const std::string& Text, QMessageBox::StandardButtons Buttons) {
  QMessageBox Box(Icon, ToQt(Caption), ToQt(Text), Buttons, Parent);
  return static_cast<QMessageBox::StandardButton>(Box.exec());
}

namespace {

void ShowQtBox(TMessageKind Kind, const std::string& Caption, const std::string& Text) {
  const QMessageBox::Icon Icon = Kind == TMessageKind::Error     ? QMessageBox::Critical
                                 : Kind == TMessageKind::Warning ? QMessageBox::Warning
                                                                 : QMessageBox::Information;
  MessageDlg(QApplication::activeWindow(), Icon, Caption, Text);
}

}  // namespace

void InstallQtMessageBoxes() { SetMessageBoxHandler(&ShowQtBox); }

}  // namespace relaybird
