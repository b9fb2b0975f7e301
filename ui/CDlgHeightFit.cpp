#include "ui/CDlgHeightFit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

#include "engine/CoordSettings.h"
#include "engine/Messages.h"
#include "estimate/CalibrationReport.h"
#include "ui/QtText.h"

namespace tarnwell {
namespace {

// Heights and residuals to a tenth of a millimetre.
QString Metres(double metres) { return QString::number(metres, 'f', 4); }

// A deviation or σ0 to four significant digits.
QString Precision(double value) { return QString::number(value, 'g', 4); }

// B or L as the source angle format writes it, to 0.00001″ (0.3 mm) or finer.
QString Angle(double degrees, AngleFormat format) {
  std::string text;
  AppendAngle(degrees, format, text, format == AngleFormat::DDD ? 9 : 5);
  return ToQt(text);
}

// The surface list: 自动 first, then the models in the order of their keywords.
QStringList SurfaceNames() {
  return {QStringLiteral("自动"), QStringLiteral("常数"), QStringLiteral("平面"), QStringLiteral("二次曲面")};
}

QString ModelText(const std::string& geoid) {
  return geoid.empty() ? QStringLiteral("高程模型: 无 (r = h − H)")
                       : QStringLiteral("高程模型: %1 (r = h − H − N)").arg(ToQt(geoid));
}

}  // namespace

CDlgHeightFit::CDlgHeightFit(QWidget* parent)
    : CommonPointListPage(QStringLiteral("计算"),
                          {QStringLiteral("B"), QStringLiteral("L"), QStringLiteral("大地高 h"),
                           QStringLiteral("正常高 H")},
                          {QStringLiteral("高程异常 r(米)"), QStringLiteral("残差(米)")}, parent) {
  setObjectName(QStringLiteral("heightFitPage"));
  useFit_ = new QCheckBox(QStringLiteral("正常高使用拟合"));
  useFit_->setObjectName(QStringLiteral("useAnomalyFit"));
  useFit_->setToolTip(QStringLiteral("转换中正常高 H = h − N − r"));
  connect(useFit_, &QCheckBox::toggled, this, [this](bool use) {
    CoordSettings& settings = CoordSettings::instance();
    if (settings.useAnomalyFit == use) return;
    settings.useAnomalyFit = use;
    emit fitChanged();
  });
  AddOption({}, useFit_);
  surface_ = new QComboBox;
  surface_->setObjectName(QStringLiteral("surface"));
  surface_->addItems(SurfaceNames());
  surface_->setToolTip(QStringLiteral("自动: 1-2 点常数, 3-5 点平面, 6 点以上二次曲面"));
  AddOption(QStringLiteral("高程拟合"), surface_);
  // The model is the main window's: stated here, chosen there.
  model_ = new QLabel;
  model_->setObjectName(QStringLiteral("geoidModelText"));
  model_->setWordWrap(true);
  AddOption({}, model_);
  ShowSettings();
}

std::optional<HeightModel> CDlgHeightFit::surface() const {
  const int index = surface_->currentIndex();
  if (index <= 0) return std::nullopt;
  return kHeightModels[index - 1].value;
}

void CDlgHeightFit::ShowSettings() {
  const CoordSettings& settings = CoordSettings::instance();
  model_->setText(ModelText(settings.geoid));
  const QSignalBlocker blocker(useFit_);
  useFit_->setChecked(settings.useAnomalyFit);
  useFit_->setEnabled(IsUsable(settings.anomalyFit) && settings.anomalyFit != AnomalyFit{});
}

void CDlgHeightFit::showEvent(QShowEvent* event) {
  ShowSettings();
  CommonPointListPage::showEvent(event);
}

bool CDlgHeightFit::Import(const std::string& path) {
  return ImportLevelledPointFile(path, CoordSettings::instance().sourceAngleFormat, commonPoints_);
}

std::vector<CommonPointTable::Row> CDlgHeightFit::Rows() const {
  const AngleFormat format = CoordSettings::instance().sourceAngleFormat;
  std::vector<CommonPointTable::Row> rows;
  for (const LevelledPoint& point : commonPoints_) {
    rows.push_back({ToQt(point.name),
                    {Angle(point.latitude, format), Angle(point.longitude, format), Metres(point.ellipsoidalHeight),
                     Metres(point.normalHeight)},
                    point.participates});
  }
  return rows;
}

void CDlgHeightFit::OnCompute() {
  CoordSettings& settings = CoordSettings::instance();
  model_->setText(ModelText(settings.geoid));
  if (commonPoints_.empty()) {
    ShowMessage("没有公共点,请先导入文件。");
    return;
  }
  std::shared_ptr<const GeoidModel> geoid;
  if (!settings.geoid.empty()) {
    if (const Refusal refusal = GeoidModel::Open(settings.geoid, geoid)) {
      ShowMessage(MessageText(refusal));
      return;
    }
  }
  std::optional<AnomalyEstimate> estimate = EstimateAnomalyFit(commonPoints_, geoid.get(), surface(), settings.tolerance);
  if (!estimate) return;
  settings.anomalyFit = estimate->fit;
  settings.useAnomalyFit = true;
  ShowSettings();
  emit fitChanged();

  std::vector<CommonPointTable::Residuals> residuals;
  std::vector<bool> flags;
  std::vector<ResidualPlot::Point> plotted;
  for (std::size_t i = 0; i < estimate->residuals.size(); ++i) {
    const AnomalyResidual& point = estimate->residuals[i];
    residuals.push_back({point.anomaly, point.residual});
    flags.push_back(point.flagged);
    const PlanePosition position = estimate->fit.LocalPosition(commonPoints_[i].latitude, commonPoints_[i].longitude);
    plotted.push_back({ToQt(point.name), position.north, position.east, 0, 0, point.residual, point.participates,
                       point.flagged});
  }
  const HeightFit& fit = estimate->fit.surface;
  QStringList coefficients;
  for (std::size_t j = 0; j < CoefficientCount(fit.model); ++j)
    coefficients << QStringLiteral("a%1=%2±%3").arg(j).arg(Precision(fit.coefficients[j]), Precision(estimate->deviations[j]));
  ShowResult(residuals,
             QStringLiteral("%1    曲面: %2    %3\n"
                            "残差 RMS=%4 米    最大=%5 米 (%6)    多余观测数=%7    参与计算的公共点=%8\n"
                            "单位权中误差 σ0=%9 米    疑似粗差: %10")
                     .arg(ModelText(settings.geoid), SurfaceNames()[static_cast<int>(fit.model) + 1],
                          coefficients.join(' '), Metres(estimate->rms), Metres(estimate->largest),
                          ToQt(estimate->largestName))
                     .arg(estimate->redundancy)
                     .arg(estimate->pointCount)
                     .arg(Precision(estimate->sigma0),
                          estimate->suspectName.empty() ? QStringLiteral("无") : ToQt(estimate->suspectName)),
             flags, std::move(plotted));
  estimate_ = std::move(estimate);
}

CalibrationReport CDlgHeightFit::MakeReport(const ReportSource& source) const {
  return MakeHeightFitReport(*estimate_, CoordSettings::instance(), source);
}

}  // namespace tarnwell
