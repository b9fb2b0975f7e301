// The four-parameter page: plane common points name,x,y,h,x2,y2,h2 (the
// projection's grid, then the local grid) imported from files into the
// table; "计算" estimates the plane parameters of the chosen model (四参数,
// 固定尺度, 单点校正) and the height fit of the chosen model (常数, 平面,
// 二次曲面) from the ticked points, shows every point's residuals and the
// precision, and stores both in CoordSettings, for the 四参数 switch.
#pragma once

#include <optional>
#include <vector>

#include "estimate/PlaneFitReport.h"
#include "ui/CommonPointPage.h"

class QComboBox;

namespace tarnwell {

class CDlgFParas : public CommonPointListPage<PlaneCommonPoint> {
  Q_OBJECT

 public:
  explicit CDlgFParas(QWidget* parent = nullptr);

  void OnCompute() override;

  // The list keeps the order of the files.
  HeightModel heightModel() const;
  // 四参数, 固定尺度 (the scale held at 0) or 单点校正 (the shift alone).
  PlaneModel planeModel() const;
  // The last estimate, while its points are unchanged.
  const std::optional<LocalGridEstimate>& estimate() const { return estimate_; }
  // Shows `model` in the list: that of the height fit in force, so that the
  // page offers again the model the remembered fit was computed with.
  void setHeightModel(HeightModel model);

 protected:
  bool Import(const std::string& path) override;
  std::vector<CommonPointTable::Row> Rows() const override;
  CalibrationReport MakeReport(const ReportSource& source) const override;

 private:
  QComboBox* heightModel_ = nullptr;
  QComboBox* planeModel_ = nullptr;
  std::optional<LocalGridEstimate> estimate_;
};

}  // namespace tarnwell
