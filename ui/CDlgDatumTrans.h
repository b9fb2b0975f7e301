// The datum transformation parameters dialog: shows and edits the seven
// Bursa-Wolf parameters of CoordSettings (the linearised model), their
// rotation convention and the pair of ellipsoids the set is for. Every
// opening reads them afresh (or the set an estimate proposes); Cancel
// changes nothing.
//
// OK stores the values the boxes say. A set the user has changed (a box or
// the convention) is one for the conversion at hand: it takes the pair of
// the current source → target ellipsoids, which the dialog shows as soon as
// the first change is made. A set left as it was keeps its pair, so that a
// set stated for WGS84 → krass stays one however the two sides are chosen.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <optional>

#include "engine/BursaWolf.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace tarnwell {

// A parameter set for the settings' source → target ellipsoids; without a
// pair where the two are one ellipsoid (no datum lies between them).
DatumTransformation DatumForCurrentPair(const SevenParams& params, RotationConvention convention);

class CDlgDatumTrans : public QDialog {
  Q_OBJECT

 public:
  explicit CDlgDatumTrans(QWidget* parent = nullptr);

  void OnInitDialog();
  void accept() override;  // OK

  // Opens with `proposed` in the boxes instead of the settings' set: OK
  // stores it as the boxes then say, 取消 leaves the settings' set as it was.
  int Propose(const DatumTransformation& proposed);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // True once a box or the convention differs from what the opening showed.
  bool Changed() const;
  // The set the opening showed: the proposed one, else the settings'.
  const DatumTransformation& Shown() const;
  void ShowPair();
  RotationConvention ChosenConvention() const;

  QComboBox* conventionList_ = nullptr;
  QLabel* pair_ = nullptr;
  // dX, dY, dZ, rX, rY, rZ, scalePpm: the order of SevenParams.
  std::array<QLineEdit*, 7> parameterEdits_{};
  // What the opening showed.
  std::array<QString, 7> openingTexts_;
  int openingConvention_ = 0;
  std::optional<DatumTransformation> proposed_;  // while Propose runs
};

}  // namespace tarnwell
