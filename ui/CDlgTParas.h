// The three-parameter page: one common point's B, L, h in the source and in
// the target datum give the three translations, which are stored in
// CoordSettings, for the pair of the source and target ellipsoids, and
// shown in the datum dialog.
#pragma once

#include <QWidget>
#include <array>

class QLineEdit;

namespace tarnwell {

class CDlgDatumTrans;

class CDlgTParas : public QWidget {
  Q_OBJECT

 public:
  // `datumDialog` is the main window's datum dialog, opened after a
  // computation.
  CDlgTParas(CDlgDatumTrans* datumDialog, QWidget* parent = nullptr);

  void OnCompute();

 private:
  CDlgDatumTrans* datumDialog_;
  std::array<QLineEdit*, 3> sourceValues_{};  // B, L, h
  std::array<QLineEdit*, 3> targetValues_{};
};

}  // namespace tarnwell
