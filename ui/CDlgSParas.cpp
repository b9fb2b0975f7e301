#include "ui/CDlgSParas.h"

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
    for (std::size_t i = 0; i < 6; ++i) row.coordinates[i] = ToQt(std::string(TrimBlanks(fields[i + 1])));
    row.participates = point.participates;
    rows.push_back(row);
  }
  return rows;
}

void CDlgSParas::OnCompute() {
  const std::optional<SevenParamsEstimate> estimate = ComputeSevenParameters(CoordSettings::instance(), commonPoints_);
  if (!estimate) return;
  // The estimate fits the coordinate-frame convention, from source to target.
  CoordSettings::instance().datum = DatumForCurrentPair(estimate->params, RotationConvention::CoordinateFrame);

  const FitReport& report = estimate->report;
  std::vector<CommonPointTable::Residuals> residuals;
  for (const PointResidual& point : report.points) residuals.push_back({point.vX, point.vY, point.vZ, point.v3D});
  ShowResult(residuals, QStringLiteral("三维残差 RMS=%1 米    最大=%2 米 (%3)    参与计算的公共点=%4    多余观测数=%5")
                            .arg(QString::number(report.rms3D, 'f', 4), QString::number(report.largest3D, 'f', 4),
                                 ToQt(report.largestName))
                            .arg(report.pointCount)
                            .arg(report.redundancy));
  datumDialog_->exec();
}

}  // namespace tarnwell
