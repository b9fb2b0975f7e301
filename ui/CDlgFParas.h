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

class CDlgFParas : public CommonPointListPage<PlaneCommonPoint> {
  Q_OBJECT

 public:
  explicit CDlgFParas(QWidget* parent = nullptr);

  void OnCompute() override;

  // The list keeps the order of the files.
  HeightModel heightModel() const;
  // Shows `model` in the list: that of the height fit in force, so that the
  // page offers again the model the remembered fit was computed with.
  void setHeightModel(HeightModel model);

 protected:
  bool Import(const std::string& path) override;
  std::vector<CommonPointTable::Row> Rows() const override;

 private:
  QComboBox* heightModel_ = nullptr;
};

}  // namespace tarnwell
