// The seven-parameter page: common points name,B,L,h,B2,L2,h2 imported from
// files into the table; "计算七参数" estimates the Bursa-Wolf parameters by
// least squares from the ticked points, shows every point's residuals, stores
// the parameters' precision and the opposite set, and proposes the set in the
// datum dialog (OK stores it in CoordSettings, 取消 discards it). 固定尺度
// holds the scale at 0.
#pragma once

#include <optional>
#include <vector>

#include "estimate/SevenParameters.h"
#include "ui/CommonPointPage.h"

class QCheckBox;

namespace tarnwell {

class CDlgDatumTrans;

class CDlgSParas : public CommonPointListPage<CommonPointLine> {
  Q_OBJECT

 public:
  // `datumDialog` is the main window's datum dialog, opened after a
  // computation.
  explicit CDlgSParas(CDlgDatumTrans* datumDialog, QWidget* parent = nullptr);

  void OnCompute() override;

  // The list is sorted by line text.

  // Six parameters when 固定尺度 is ticked.
  DatumModel datumModel() const;
  // The last estimate, while its points are unchanged.
  const std::optional<SevenParamsEstimate>& estimate() const { return estimate_; }

 protected:
  bool Import(const std::string& path) override;
  std::vector<CommonPointTable::Row> Rows() const override;
  CalibrationReport MakeReport(const ReportSource& source) const override;

 private:
  CDlgDatumTrans* datumDialog_;
  QCheckBox* fixedScale_ = nullptr;
  std::optional<SevenParamsEstimate> estimate_;
};

}  // namespace tarnwell
