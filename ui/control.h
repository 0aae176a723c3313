#pragma once
// A named component standing for one Qt object of a window. The object stays
// owned by Qt's parent tree; the component follows it and answers null once
// Qt has deleted it. User-interface thread only.
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <string>

#include "i18n/persistent.h"
#include "ui/qt_text.h"

namespace relaybird {

template <class TObj>
class TControl : public TComponent {
 public:
  TControl(const std::string& Name, TObj* Object) : TComponent(Name), FObject(Object) {
    if (Object) Object->setObjectName(ToQt(Name));
  }
  TObj* Object() const { return FObject.data(); }
  TObj* operator->() const { return FObject.data(); }

 protected:
  // A text property read and written through the object while it lives.
  template <class TGet, class TSet>
  TPublishedProperty ObjectText(const char* Name, TGet Get, TSet Set) const {
    return TextProperty(
        Name, [this, Get] { return FObject ? ToStd(Get(FObject.data())) : std::string(); },
        [this, Set](const std::string& Text) {
          if (FObject) Set(FObject.data(), ToQt(Text));
        });
  }
  // The hint of a widget: its tool tip and the status tip that feeds the
  // window's hint handler.
  TPublishedProperty HintProperty() const {
    return ObjectText(
        "Hint", [](QWidget* W) { return W->toolTip(); },
        [](QWidget* W, const QString& Text) {
          W->setToolTip(Text);
          W->setStatusTip(Text);
        });
  }

  QPointer<TObj> FObject;
};

}  // namespace relaybird
