#include "ui/CDlgFParas.h"

#include <QComboBox>
#include <algorithm>
#include <iterator>

#include "engine/CoordSettings.h"
#include "estimate/PlaneFitReport.h"
#include "ui/QtText.h"

namespace tarnwell {
namespace {

// Coordinates and residuals to a tenth of a millimetre.
QString Metres(double metres) { return QString::number(metres, 'f', 4); }

// A deviation or σ0 to four significant digits.
QString Precision(double value) { return QString::number(value, 'g', 4); }

}  // namespace

CDlgFParas::CDlgFParas(QWidget* parent)
    : CommonPointListPage(QStringLiteral("计算"),
                          {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("h"), QStringLiteral("x2"),
                           QStringLiteral("y2"), QStringLiteral("h2")},
                          {QStringLiteral("vx(米)"), QStringLiteral("vy(米)"), QStringLiteral("vh(米)"),
                           QStringLiteral("平面残差(米)")},
                          parent) {
  setObjectName(QStringLiteral("fourParameterPage"));
  heightModel_ = new QComboBox;
  heightModel_->setObjectName(QStringLiteral("heightModel"));
  heightModel_->addItems({QStringLiteral("常数"), QStringLiteral("平面"), QStringLiteral("二次曲面")});
  AddOption(QStringLiteral("高程拟合"), heightModel_);
  planeModel_ = new QComboBox;
  planeModel_->setObjectName(QStringLiteral("planeModel"));
  planeModel_->setToolTip(QStringLiteral("平面模型"));
  // In the order of kPlaneModels.
  planeModel_->addItems({QStringLiteral("四参数"), QStringLiteral("固定尺度 (三参数)"), QStringLiteral("单点校正")});
  AddOption(QStringLiteral("平面模型"), planeModel_);
}

// The list offers the models in the order of their keywords.
HeightModel CDlgFParas::heightModel() const { return kHeightModels[std::max(0, heightModel_->currentIndex())].value; }

void CDlgFParas::setHeightModel(HeightModel model) {
  for (std::size_t index = 0; index < std::size(kHeightModels); ++index) {
    if (kHeightModels[index].value == model) heightModel_->setCurrentIndex(static_cast<int>(index));
  }
}

bool CDlgFParas::Import(const std::string& path) { return ImportPlaneCommonPointFile(path, commonPoints_); }

std::vector<CommonPointTable::Row> CDlgFParas::Rows() const {
  std::vector<CommonPointTable::Row> rows;
  for (const PlaneCommonPoint& point : commonPoints_) {
    rows.push_back({ToQt(point.name),
                    {Metres(point.sourceNorth), Metres(point.sourceEast), Metres(point.sourceHeight),
                     Metres(point.targetNorth), Metres(point.targetEast), Metres(point.targetHeight)},
                    point.participates});
  }
  return rows;
}

PlaneModel CDlgFParas::planeModel() const { return kPlaneModels[std::max(0, planeModel_->currentIndex())].value; }

void CDlgFParas::OnCompute() {
  CoordSettings& settings = CoordSettings::instance();
  const LocalGridOptions options{planeModel(), heightModel(), settings.tolerance};
  // An empty list is EstimateLocalGrid's to refuse.
  const std::optional<std::vector<PlaneCommonPoint>> points =
      commonPoints_.empty() ? commonPoints_ : PointsOnGridHeights(settings, commonPoints_);
  if (!points) return;
  std::optional<LocalGridEstimate> estimate = EstimateLocalGrid(*points, options);
  if (!estimate) return;
  settings.fourParams = estimate->plane.params;
  settings.heightFit = estimate->height.fit;

  const PlaneFitReport& report = estimate->report;
  std::vector<CommonPointTable::Residuals> residuals;
  std::vector<bool> flags;
  for (const PlaneResidual& point : report.points) {
    residuals.push_back({point.vNorth, point.vEast, point.vHeight, point.v2D});
    flags.push_back(point.flagged);
  }
  const FourParams& p = estimate->plane.params;
  const FourParams& d = estimate->plane.deviations;
  QStringList heightDeviations;
  for (std::size_t j = 0; j < CoefficientCount(estimate->height.fit.model); ++j)
    heightDeviations << QStringLiteral("a%1=%2").arg(j).arg(Precision(estimate->height.deviations[j]));
  ShowResult(residuals,
             QStringLiteral("ΔX=%1 米    ΔY=%2 米    旋转=%3″    尺度=%4 ppm\n"
                            "平面残差 RMS=%5 米    最大=%6 米 (%7)    多余观测数=%8\n"
                            "高程残差 RMS=%9 米    最大=%10 米 (%11)    多余观测数=%12    参与计算的公共点=%13\n")
                     .arg(Metres(p.dNorth), Metres(p.dEast), QString::number(p.rotationArcSeconds, 'f', 6),
                          QString::number(p.scalePpm, 'f', 6), Metres(report.plane.rms), Metres(report.plane.largest),
                          ToQt(report.plane.largestName))
                     .arg(report.plane.redundancy)
                     .arg(Metres(report.height.rms), Metres(report.height.largest), ToQt(report.height.largestName))
                     .arg(report.height.redundancy)
                     .arg(report.pointCount) +
                 QStringLiteral("单位权中误差 σ0=%1 米    参数中误差: ΔX=%2 ΔY=%3 米  旋转=%4″  尺度=%5 ppm\n"
                                "高程 σ0=%6 米    系数中误差: %7    疑似粗差: %8")
                     .arg(Precision(report.plane.sigma0), Precision(d.dNorth), Precision(d.dEast),
                          Precision(d.rotationArcSeconds), Precision(d.scalePpm), Precision(report.height.sigma0),
                          heightDeviations.join(' '),
                          report.suspectName.empty() ? QStringLiteral("无") : ToQt(report.suspectName)),
             flags, ResidualPoints(report, commonPoints_));
  estimate_ = std::move(estimate);
}

CalibrationReport CDlgFParas::MakeReport(const ReportSource& source) const {
  return MakeLocalGridReport(*estimate_, CoordSettings::instance(), source);
}

}  // namespace tarnwell
