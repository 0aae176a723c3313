#pragma once
// The dialog in which the administrator enters or changes one database
// connection. User-interface thread only.
#include <QDialog>
#include <string>

#include "relaybird/settings.h"
#include "ui/controls.h"

namespace relaybird {

class TfrmConnectEdit : public QDialog, public TComponent {
 public:
  // Translated, with the homes and the first home's aliases filled in.
  explicit TfrmConnectEdit(QWidget* Parent = nullptr);
  std::vector<TPublishedProperty> PublishedProperties() override;

  static constexpr int ClientWidth = 304;
  static constexpr int ClientHeight = 172;

  // Selects the stored home and alias where the lists hold them.
  void PrefillForEdit(const TConnectionSettings& Settings);
  // The refill on a change of home; on only while the dialog is shown.
  void EnableHomeReaction();
  void FillServerList();
  void btnOKClick();

  // Filled when the administrator accepts.
  TConnectionSettings Result;

  TGroupBox* grpOraParams;
  TLabel *lblOraHome, *lblServerName, *lblUserName, *lblPassword;
  TComboBox *cbbOraHome, *cbbServerName;
  TEdit *edtUser, *edtPassword;
  TButton *btnOK, *btnCancel;
};

// True only when the administrator accepted and a field differs from the
// record passed in; then Settings takes the dialog's record and HomeText the
// text of the chosen home. Otherwise Settings stays and HomeText is empty.
bool NewConnectionDialog(TConnectionSettings& Settings, std::string& HomeText, QWidget* Parent = nullptr);
bool EditConnectionDialog(TConnectionSettings& Settings, std::string& HomeText, QWidget* Parent = nullptr);

}  // namespace relaybird
