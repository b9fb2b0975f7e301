// The projection settings dialog: picks the map projection for "Plan"
// coordinates from the projection catalogue and edits its parameters. OK
// writes the projection in force into CoordSettings; Cancel changes nothing.
//
// Only the supported projections can be chosen; the others stand greyed in
// the list. The boxes the shown projection uses are enabled, the others
// disabled. A transverse Mercator may be divided into Gauss-Krüger zones 3°
// or 6° wide, UTM always is: the zone then fixes the central meridian and
// the other parameters, which the disabled boxes show.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "engine/CoordSettings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QSpinBox;

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

  QWidget* MakeZoneGroup();
  QLineEdit* BoxOf(std::string ProjectionParams::*field) const;
  void SelectCurrentProjection();
  void ShowSelectedProjection();
  void ShowProjection(const ProjectionParams& projection);
  // The zone width chosen: from free to zones the zone is the one that
  // holds the central meridian shown.
  void OnZoneWidthChanged();
  // Enables the boxes the shown projection uses with the zone choice shown,
  // and shows the parameters a zone fixes.
  void UpdateBoxes();
  // The shown projection with the zone choice of the widgets.
  ProjectionParams ShownZoneChoice() const;
  bool ShownParametersAreNumbers() const;

  QListWidget* projectionList_ = nullptr;
  std::vector<std::string> listTexts_;  // the list's items, in list order
  QLineEdit* chineseName_ = nullptr;  // of the shown projection, when supported
  QLineEdit* description_ = nullptr;
  std::vector<ParameterBox> parameterBoxes_;  // top to bottom
  QComboBox* zoneWidth_ = nullptr;
  QSpinBox* zone_ = nullptr;
  QCheckBox* south_ = nullptr;
  QCheckBox* zonePrefix_ = nullptr;
  QCheckBox* autoZone_ = nullptr;
  std::string shownKey_;  // the key of the projection the boxes show
  int initialSelection_ = -1;
};

}  // namespace tarnwell
