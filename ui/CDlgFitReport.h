// How well a seven-parameter estimate fits its common points: per point the
// residuals vX, vY, vZ and the 3-D residual in metres, with the RMS and the
// largest residual, read-only, and a button that copies it all as text.
#pragma once

#include <QDialog>

#include "estimate/SevenParameters.h"

class QLabel;
class QTableWidget;

namespace tarnwell {

class CDlgFitReport : public QDialog {
  Q_OBJECT

 public:
  explicit CDlgFitReport(QWidget* parent = nullptr);

  void SetReport(const FitReport& report);

  // The report as tab-separated lines, as the copy button puts it on the
  // clipboard.
  QString ReportText() const;
  void OnCopy();

 private:
  QLabel* summary_ = nullptr;
  QTableWidget* residualTable_ = nullptr;
};

}  // namespace tarnwell
