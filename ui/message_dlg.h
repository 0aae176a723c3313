#pragma once
// Message boxes of the windows, and the handler that shows the core
// library's boxes as real ones. User-interface thread only.
#include <QMessageBox>
#include <string>

namespace relaybird {

QMessageBox::StandardButton MessageDlg(QWidget* Parent, QMessageBox::Icon Icon, const std::string& Caption,
                                       const std::string& Text,
                                       QMessageBox::StandardButtons Buttons = QMessageBox::Ok);

// From now on ShowMessageBox of the core library shows a Qt message box.
void InstallQtMessageBoxes();

}  // namespace relaybird
