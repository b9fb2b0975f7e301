// The height-fit page (高程拟合): levelled points name,B,L,h,H (B and L in
// the source angle format, h the GNSS ellipsoidal height, H the levelled
// normal height) imported from files into the table; "计算" removes the main
// window's geoid model (高程模型) from h − H at each point, fits what is left
// with the chosen surface (自动, 常数, 平面, 二次曲面) from the ticked
// points, shows every point's anomaly and residual with the precision, and
// stores the fit in CoordSettings for normal heights: H = h − N − r.
#pragma once

#include <optional>
#include <vector>

#include "estimate/HeightAnomalies.h"
#include "ui/CommonPointPage.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace tarnwell {

class CDlgHeightFit : public CommonPointListPage<LevelledPoint> {
  Q_OBJECT

 public:
  explicit CDlgHeightFit(QWidget* parent = nullptr);

  void OnCompute() override;

  // The surface chosen; none for 自动, which chooses by the number of points.
  std::optional<HeightModel> surface() const;
  // The last estimate, while its points are unchanged.
  const std::optional<AnomalyEstimate>& estimate() const { return estimate_; }
  // Shows the settings' geoid model and whether conversions use the fit.
  void ShowSettings();

 signals:
  // A computation stored a new fit in the settings, or the switch changed.
  void fitChanged();

 protected:
  bool Import(const std::string& path) override;
  std::vector<CommonPointTable::Row> Rows() const override;
  CalibrationReport MakeReport(const ReportSource& source) const override;
  void showEvent(QShowEvent* event) override;

 private:
  QComboBox* surface_ = nullptr;
  QLabel* model_ = nullptr;
  QCheckBox* useFit_ = nullptr;
  std::optional<AnomalyEstimate> estimate_;
};

}  // namespace tarnwell
