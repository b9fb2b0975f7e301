// The four-parameter page: plane common points name,x,y,h,x2,y2,h2 (the
// projection's grid, then the local grid) imported from files into the
// table; "计算" estimates the four parameters and the height fit of the
// chosen model (常数, 平面, 二次曲面) from the ticked points, shows every
// point's residuals and stores both in CoordSettings, for the 四参数 switch.
#pragma once

#include <vector>

#include "estimate/HeightFit.h"
#include "estimate/PlaneCommonPoint.h"
#include "ui/CommonPointPage.h"

class QComboBox;

namespace tarnwell {

class CDlgFParas : public CommonPointPage {
  Q_OBJECT

 public:
  explicit CDlgFParas(QWidget* parent = nullptr);

  // The list, in the order of the files.
  const std::vector<PlaneCommonPoint>& commonPoints() const { return commonPoints_; }
  HeightModel heightModel() const;

 protected:
  bool Import(const std::string& path) override;
  std::vector<CommonPointTable::Row> Rows() const override;
  void SetParticipates(std::size_t point, bool participates) override;
  void RemovePoints(const std::vector<std::size_t>& points) override;
  void ClearPoints() override { commonPoints_.clear(); }
  void Compute() override;

 private:
  QComboBox* heightModel_ = nullptr;
  std::vector<PlaneCommonPoint> commonPoints_;
};

}  // namespace tarnwell
