// The projection settings dialog: picks the map projection for "Plan"
// coordinates from the projection catalogue and edits its parameters. OK
// writes the projection in force into CoordSettings; Cancel changes nothing.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "engine/CoordSettings.h"

class QLineEdit;
class QListWidget;

namespace tarnwell {

class CDlgProjTrans : public QDialog {
  Q_OBJECT

 public:
  explicit CDlgProjTrans(QWidget* parent = nullptr);

  void OnInitDialog();
  void OnListDblClk();
  void accept() override;  // OK

  // The list position selected when the dialog opened (the number of items
  // when the projection in force was not in the list); -1 before the first
  // opening.
  int initialSelection() const { return initialSelection_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct ParameterBox {
    std::string ProjectionParams::*field;
    QLineEdit* edit;
  };

  void SelectCurrentProjection();
  void ShowSelectedProjection();
  void ShowProjection(const ProjectionParams& projection);

  QListWidget* projectionList_ = nullptr;
  std::vector<std::string> listTexts_;  // the list's items, in list order
  QLineEdit* description_ = nullptr;
  std::vector<ParameterBox> parameterBoxes_;  // top to bottom
  int initialSelection_ = -1;
};

}  // namespace tarnwell
