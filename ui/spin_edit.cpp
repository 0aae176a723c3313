#include "ui/spin_edit.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace relaybird {

void TSpinBox::SetMaxLength(int Length) { lineEdit()->setMaxLength(Length); }

QString TSpinBox::Text() const { return lineEdit()->text(); }

void TSpinBox::keyPressEvent(QKeyEvent* Event) {
  const QString Typed = Event->text();
  if (OnKeyPress && Typed.size() == 1 && Typed[0].isPrint()) {
    QChar Key = Typed[0];
    OnKeyPress(Key);
    if (Key.isNull()) {
      Event->accept();
      return;
    }
  }
  QSpinBox::keyPressEvent(Event);
}

}  // namespace relaybird
