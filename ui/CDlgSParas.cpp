#include "ui/CDlgSParas.h"

#include <QCheckBox>

#include "engine/CoordSettings.h"
#include "tables/NumberText.h"
#include "tables/TableText.h"
#include "ui/CDlgDatumTrans.h"
#include "ui/QtText.h"

namespace tarnwell {

CDlgSParas::CDlgSParas(CDlgDatumTrans* datumDialog, QWidget* parent)
    : CommonPointListPage(QStringLiteral("计算七参数"),
                          {QStringLiteral("B"), QStringLiteral("L"), QStringLiteral("h"), QStringLiteral("B2"),
                           QStringLiteral("L2"), QStringLiteral("h2")},
                          {QStringLiteral("vX(米)"), QStringLiteral("vY(米)"), QStringLiteral("vZ(米)"),
                           QStringLiteral("三维残差(米)")},
                          parent),
      datumDialog_(datumDialog) {
  setObjectName(QStringLiteral("sevenParameterPage"));
  fixedScale_ = new QCheckBox(QStringLiteral("固定尺度 (六参数)"));
  fixedScale_->setObjectName(QStringLiteral("fixedScale"));
  AddOption({}, fixedScale_);
}

bool CDlgSParas::Import(const std::string& path) {
  return ImportCommonPointFile(CoordSettings::instance(), path, commonPoints_);
}

std::vector<CommonPointTable::Row> CDlgSParas::Rows() const {
  std::vector<CommonPointTable::Row> rows;
  for (const CommonPointLine& point : commonPoints_) {
    // The import has checked every line: seven fields.
    const std::vector<std::string> fields = SplitAtChar(point.text, ',');
    CommonPointTable::Row row;
    row.name = ToQt(fields[0]);
    for (std::size_t i = 0; i < 6; ++i) row.coordinates << ToQt(std::string(TrimBlanks(fields[i + 1])));
    row.participates = point.participates;
    rows.push_back(row);
  }
  return rows;
}

DatumModel CDlgSParas::datumModel() const {
  return fixedScale_->isChecked() ? DatumModel::FixedScale : DatumModel::Full;
}

namespace {

// A deviation or σ0 to four significant digits.
QString Precision(double value) { return QString::number(value, 'g', 4); }

QString SevenText(const SevenParams& p, char format, int precision) {
  return QStringLiteral("dX=%1 dY=%2 dZ=%3 米    rX=%4 rY=%5 rZ=%6 秒    尺度=%7 ppm")
      .arg(QString::number(p.dX, format, precision), QString::number(p.dY, format, precision),
           QString::number(p.dZ, format, precision), QString::number(p.rX, format, precision),
           QString::number(p.rY, format, precision), QString::number(p.rZ, format, precision),
           QString::number(p.scalePpm, format, precision));
}

}  // namespace

void CDlgSParas::OnCompute() {
  std::optional<SevenParamsEstimate> estimate =
      ComputeSevenParameters(CoordSettings::instance(), commonPoints_, datumModel());
  if (!estimate) return;
  const FitReport& report = estimate->report;
  std::vector<CommonPointTable::Residuals> residuals;
  std::vector<bool> flags;
  for (const PointResidual& point : report.points) {
    residuals.push_back({point.vX, point.vY, point.vZ, point.v3D});
    flags.push_back(point.flagged);
  }
  ShowResult(residuals,
             QStringLiteral("三维残差 RMS=%1 米    最大=%2 米 (%3)    参与计算的公共点=%4    多余观测数=%5\n"
                            "单位权中误差 σ0=%6 米    疑似粗差: %7\n"
                            "参数中误差: %8\n"
                            "反向七参数 (目的→源): %9")
                 .arg(QString::number(report.rms3D, 'f', 4), QString::number(report.largest3D, 'f', 4),
                      ToQt(report.largestName))
                 .arg(report.pointCount)
                 .arg(report.redundancy)
                 .arg(Precision(report.sigma0), report.suspectName.empty() ? QStringLiteral("无") : ToQt(report.suspectName),
                      SevenText(estimate->deviations, 'g', 4), SevenText(estimate->inverse, 'f', 6)),
             flags, ResidualPoints(report));
  estimate_ = std::move(estimate);
  // The estimate fits the coordinate-frame convention, from source to
  // target; the dialog stores it on OK only.
  datumDialog_->Propose(DatumForCurrentPair(estimate_->params, RotationConvention::CoordinateFrame));
}

CalibrationReport CDlgSParas::MakeReport(const ReportSource& source) const {
  return MakeSevenParameterReport(*estimate_, CoordSettings::instance(), source);
}

}  // namespace tarnwell
