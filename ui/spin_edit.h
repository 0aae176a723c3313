#pragma once
// A spin edit with a key-press event that may refuse the typed character, and
// its component. User-interface thread only.
#include <QChar>
#include <QSpinBox>
#include <functional>

#include "ui/control.h"

namespace relaybird {

class TSpinBox : public QSpinBox {
 public:
  using QSpinBox::QSpinBox;
  void SetMaxLength(int Length);
  QString Text() const;

  // Called for every typed character; setting the key to a null character
  // refuses it.
  std::function<void(QChar& Key)> OnKeyPress;

 protected:
  void keyPressEvent(QKeyEvent* Event) override;
};

class TSpinEdit : public TControl<TSpinBox> {
 public:
  using TControl::TControl;
  std::vector<TPublishedProperty> PublishedProperties() override { return {HintProperty()}; }
};

}  // namespace relaybird
