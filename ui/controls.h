#pragma once
// Components of the plain controls: labels, buttons and check boxes, edits,
// group boxes, combo boxes. User-interface thread only.
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "ui/control.h"

namespace relaybird {

class TLabel : public TControl<QLabel> {
 public:
  using TControl::TControl;
  std::vector<TPublishedProperty> PublishedProperties() override;
};

// Push buttons and check boxes.
class TButton : public TControl<QAbstractButton> {
 public:
  using TControl::TControl;
  std::vector<TPublishedProperty> PublishedProperties() override;
};

class TEdit : public TControl<QLineEdit> {
 public:
  using TControl::TControl;
  std::vector<TPublishedProperty> PublishedProperties() override;
};

class TGroupBox : public TControl<QGroupBox> {
 public:
  using TControl::TControl;
  std::vector<TPublishedProperty> PublishedProperties() override;
};

// The item list of a combo box, as a string list.
class TComboItems : public TPersistent {
 public:
  explicit TComboItems(QComboBox* Box) : FBox(Box) {}
  bool IsStringList() const override { return true; }
  std::vector<std::string> Lines() const override;
  void SetLines(const std::vector<std::string>& Lines) override;

 private:
  QPointer<QComboBox> FBox;
};

class TComboBox : public TControl<QComboBox> {
 public:
  TComboBox(const std::string& Name, QComboBox* Box) : TControl(Name, Box), FItems(Box) {}
  std::vector<TPublishedProperty> PublishedProperties() override;

 private:
  TComboItems FItems;
};

}  // namespace relaybird
