#include "report/ResidualDrawing.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace tarnwell {
namespace {

constexpr double kMargin = 24;           // pixels round the points, for their names and residuals
constexpr double kPadding = 8;           // pixels between the edge and the scale bar or legend
constexpr double kResidualShare = 0.2;   // of the points' room: the largest residual's length
constexpr double kPointRadius = 3.5;     // pixels

// The largest of the plane and height residuals, metres.
double LargestResidual(const std::vector<ResidualDrawing::Point>& points) {
  double largest = 0;
  for (const ResidualDrawing::Point& p : points)
    largest = std::max({largest, std::hypot(p.vNorth, p.vEast), std::fabs(p.vHeight)});
  return largest;
}

// The 1-2-5 step at or below `value`.
double NiceStep(double value) {
  const double decade = std::pow(10.0, std::floor(std::log10(value)));
  for (double step : {5.0, 2.0, 1.0}) {
    if (step * decade <= value) return step * decade;
  }
  return decade;
}

QString MetresText(double metres) {
  return metres < 1 ? QStringLiteral("%1 毫米").arg(metres * 1000) : QStringLiteral("%1 米").arg(metres);
}

void DrawArrow(QPainter& painter, QPointF from, QPointF to) {
  painter.drawLine(from, to);
  const QPointF along = to - from;
  const double length = std::hypot(along.x(), along.y());
  if (length < 6) return;
  const QPointF unit = along / length, across(-unit.y(), unit.x());
  QPainterPath head;
  head.moveTo(to);
  head.lineTo(to - 6 * unit + 3 * across);
  head.lineTo(to - 6 * unit - 3 * across);
  head.closeSubpath();
  painter.fillPath(head, painter.pen().color());
}

// Plane positions to pixels: one scale for north and east, north up, the
// points centred in the room they are given.
class PlaneToPixels {
 public:
  explicit PlaneToPixels(const std::vector<ResidualDrawing::Point>& points) {
    double minNorth = points[0].north, maxNorth = minNorth, minEast = points[0].east, maxEast = minEast;
    for (const ResidualDrawing::Point& p : points) {
      minNorth = std::min(minNorth, p.north), maxNorth = std::max(maxNorth, p.north);
      minEast = std::min(minEast, p.east), maxEast = std::max(maxEast, p.east);
    }
    extentMetres_ = std::max({maxNorth - minNorth, maxEast - minEast, 1e-9});
    midNorth_ = (minNorth + maxNorth) / 2, midEast_ = (minEast + maxEast) / 2;
  }

  void FitInto(const QRectF& room) {
    pixelsPerMetre_ = std::max(0.0, std::min(room.width(), room.height())) / extentMetres_;
    centre_ = room.center();
  }

  QPointF operator()(const ResidualDrawing::Point& p) const {
    return {centre_.x() + (p.east - midEast_) * pixelsPerMetre_, centre_.y() - (p.north - midNorth_) * pixelsPerMetre_};
  }
  // The larger of the north and east spans, metres.
  double extentMetres() const { return extentMetres_; }

 private:
  double extentMetres_ = 0, midNorth_ = 0, midEast_ = 0;
  double pixelsPerMetre_ = 0;
  QPointF centre_;
};

void DrawPoint(QPainter& painter, const ResidualDrawing::Point& p, QPointF position, double residualPixels) {
  const QColor colour = p.flagged ? QColor(Qt::red) : QColor(Qt::black);
  const QPointF heightEnd = position - QPointF(0, p.vHeight * residualPixels);
  painter.setPen(QPen(p.vHeight >= 0 ? QColor(30, 90, 200) : QColor(230, 120, 20), 4, Qt::SolidLine, Qt::FlatCap));
  painter.drawLine(position + QPointF(6, 0), heightEnd + QPointF(6, 0));
  painter.setPen(QPen(colour, 1.5));
  DrawArrow(painter, position, position + QPointF(p.vEast, -p.vNorth) * residualPixels);
  painter.setBrush(p.participates ? QBrush(colour) : Qt::NoBrush);
  painter.drawEllipse(position, kPointRadius, kPointRadius);
  painter.setBrush(Qt::NoBrush);
  painter.drawText(position + QPointF(8, -6), p.name);
}

}  // namespace

double ResidualDrawing::ScaleBarMetres() const {
  const double largest = LargestResidual(points_);
  return largest > 0 ? NiceStep(largest / 2) : 0;
}

void ResidualDrawing::Paint(QPainter& painter, const QRectF& area) const {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  if (points_.empty()) {
    painter.drawText(area, Qt::AlignCenter, QStringLiteral("计算后在此显示残差图"));
    painter.restore();
    return;
  }
  PlaneToPixels at(points_);
  // Along the bottom the scale bar, and under it the legend wrapped to the
  // width; the points take the room above.
  const QFontMetricsF metrics(painter.font(), painter.device());
  const QString legend = QStringLiteral("点位范围 %1, 北向上。箭头: 平面残差  竖条: 高程残差 (蓝 正, 橙 负)  空心: 未参与  红: 超限")
                             .arg(MetresText(at.extentMetres()));
  const QRectF legendWidth(area.left() + kPadding, 0, area.width() - 2 * kPadding, 0);
  const double legendHeight = metrics.boundingRect(legendWidth, Qt::TextWordWrap, legend).height();
  const double barRow = metrics.height() + kPadding;
  const double footer = kPadding + legendHeight + barRow;
  const QRectF room = area.adjusted(kMargin, kMargin, -kMargin, -footer - kMargin);
  // Residuals: the largest a set share of the points' room, which gives way
  // where the margin would not hold a residual that long.
  const double longest = kResidualShare * std::min(room.width(), room.height());
  const double inset = std::max(0.0, longest + kPadding - kMargin);
  at.FitInto(room.adjusted(inset, inset, -inset, -inset));
  const double largest = LargestResidual(points_);
  const double residualPixels = largest > 0 ? longest / largest : 0;
  for (const Point& p : points_) DrawPoint(painter, p, at(p), residualPixels);

  const double barMetres = ScaleBarMetres();
  const double barPixels = barMetres * residualPixels;
  const QPointF barStart(area.left() + kPadding, area.bottom() - footer + barRow / 2);
  painter.setPen(QPen(Qt::black, 2));
  painter.drawLine(barStart, barStart + QPointF(barPixels, 0));
  painter.drawLine(barStart + QPointF(0, -4), barStart + QPointF(0, 4));
  painter.drawLine(barStart + QPointF(barPixels, -4), barStart + QPointF(barPixels, 4));
  painter.drawText(barStart + QPointF(barPixels + 8, metrics.ascent() / 2 - 1),
                   QStringLiteral("残差 %1").arg(MetresText(barMetres)));
  painter.drawText(QRectF(legendWidth.left(), area.bottom() - kPadding - legendHeight, legendWidth.width(), legendHeight),
                   Qt::TextWordWrap, legend);
  painter.restore();
}

QImage ResidualDrawing::Image(int width, int height, const QFont& font) const {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setFont(font);
  Paint(painter, QRectF(image.rect()));
  return image;
}

std::vector<ResidualDrawing::Point> ResidualPoints(const FitReport& report) {
  std::vector<ResidualDrawing::Point> points;
  for (const PointResidual& point : report.points) {
    points.push_back({QString::fromStdString(point.name), point.north, point.east, point.vNorth, point.vEast,
                      point.vVertical, point.participates, point.flagged});
  }
  return points;
}

std::vector<ResidualDrawing::Point> ResidualPoints(const PlaneFitReport& report,
                                                   const std::vector<PlaneCommonPoint>& commonPoints) {
  std::vector<ResidualDrawing::Point> points;
  for (std::size_t i = 0; i < report.points.size(); ++i) {
    const PlaneResidual& point = report.points[i];
    points.push_back({QString::fromStdString(point.name), commonPoints[i].sourceNorth, commonPoints[i].sourceEast,
                      point.vNorth, point.vEast, point.vHeight, point.participates, point.flagged});
  }
  return points;
}

}  // namespace tarnwell
