// The projection settings dialog: picks the map projection for "Plan"
// coordinates from the projection catalogue and edits its parameters. OK
// writes the projections shown into CoordSettings; Cancel changes nothing.
//
// Two projections are edited: the target's (settings.projection, also the
// source's while the source has none of its own) and the source's own, for
// a plane source in another projection or zone. A choice at the top says
// which one the boxes show; "与目的投影相同" gives the source the target's
// projection again.
//
// Only the supported projections can be chosen; the others stand greyed in
// the list. The boxes the shown projection uses are enabled, the others
// disabled and empty. A transverse Mercator may be divided into
// Gauss-Krüger zones 3° or 6° wide, UTM always is: the zone then fixes the
// central meridian and the other parameters, which the disabled boxes show.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "engine/CoordSettings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QSpinBox;

namespace tarnwell {

class CDlgProjTrans : public QDialog {
  Q_OBJECT

 public:
  explicit CDlgProjTrans(QWidget* parent = nullptr);

  void OnInitDialog();
  void OnListDblClk();
  void accept() override;  // OK

  // The list position selected when the shown projection was put in the
  // boxes (the number of items when it was not in the list); -1 before the
  // first opening.
  int initialSelection() const { return initialSelection_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct ParameterBox {
    ProjectionParameter field;
    QLineEdit* edit;
  };

  QWidget* MakeSideChoice();
  QWidget* MakeZoneGroup();
  QLineEdit* BoxOf(ProjectionParameter field) const;
  // The projection of the side shown, as last taken from the boxes.
  ProjectionParams& ShownSide();
  // Puts the side chosen at the top in the list and the boxes.
  void ShowSide();
  // The user picked the other side: the boxes of the side left are kept
  // first, or, when they do not read, the choice goes back.
  void OnSideChosen();
  void OnSameAsTargetToggled(bool same);
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
  // The projection the list and the boxes show; false, with the message
  // shown and `projection` untouched, when a parameter does not read or
  // lies outside its range.
  bool ReadShownProjection(ProjectionParams& projection) const;
  // True while the boxes show a projection that may be edited (not the
  // target's standing in for the source's).
  bool ShowsEditable() const;

  QRadioButton* editTarget_ = nullptr;
  QRadioButton* editSource_ = nullptr;
  QCheckBox* sameAsTarget_ = nullptr;
  QListWidget* projectionList_ = nullptr;
  QWidget* parameterColumn_ = nullptr;
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

  // The two projections as edited since the opening; OK stores them.
  ProjectionParams targetProjection_;
  ProjectionParams sourceProjection_;
  bool ownSourceProjection_ = false;
  bool showingSource_ = false;  // the side the boxes show
};

}  // namespace tarnwell
