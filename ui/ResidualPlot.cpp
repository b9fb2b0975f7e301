#include "ui/ResidualPlot.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace tarnwell {
namespace {

constexpr int kMargin = 36;          // pixels round the points
constexpr double kResidualShare = 0.15;  // of the smaller side: the largest residual's length
constexpr double kPointRadius = 3.5;     // pixels

// The largest of the plane and height residuals, metres.
double LargestResidual(const std::vector<ResidualPlot::Point>& points) {
  double largest = 0;
  for (const ResidualPlot::Point& p : points)
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

}  // namespace

ResidualPlot::ResidualPlot(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("residualPlot"));
  setMinimumSize(320, 160);
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
}

void ResidualPlot::SetPoints(std::vector<Point> points) {
  points_ = std::move(points);
  update();
}

double ResidualPlot::ScaleBarMetres() const {
  const double largest = LargestResidual(points_);
  return largest > 0 ? NiceStep(largest / 2) : 0;
}

void ResidualPlot::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  if (points_.empty()) {
    painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("计算后在此显示残差图"));
    return;
  }
  // Positions: one scale for north and east, north up.
  double minNorth = points_[0].north, maxNorth = minNorth, minEast = points_[0].east, maxEast = minEast;
  for (const Point& p : points_) {
    minNorth = std::min(minNorth, p.north), maxNorth = std::max(maxNorth, p.north);
    minEast = std::min(minEast, p.east), maxEast = std::max(maxEast, p.east);
  }
  const QRectF area = QRectF(rect()).adjusted(kMargin, kMargin, -kMargin, -kMargin - 20);
  const double extent = std::max({maxNorth - minNorth, maxEast - minEast, 1e-9});
  const double pixelsPerMetre = std::min(area.width(), area.height()) / extent;
  const QPointF centre = area.center();
  const double midNorth = (minNorth + maxNorth) / 2, midEast = (minEast + maxEast) / 2;
  const auto at = [&](const Point& p) {
    return QPointF(centre.x() + (p.east - midEast) * pixelsPerMetre, centre.y() - (p.north - midNorth) * pixelsPerMetre);
  };
  // Residuals: the largest a set share of the smaller side.
  const double largest = LargestResidual(points_);
  const double residualPixels = largest > 0 ? kResidualShare * std::min(width(), height()) / largest : 0;

  for (const Point& p : points_) {
    const QPointF position = at(p);
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

  // The scale bar of the residuals and the legend, along the bottom.
  const double barMetres = ScaleBarMetres();
  const double barPixels = barMetres * residualPixels;
  const QPointF barStart(kMargin, height() - 16);
  painter.setPen(QPen(Qt::black, 2));
  painter.drawLine(barStart, barStart + QPointF(barPixels, 0));
  painter.drawLine(barStart + QPointF(0, -4), barStart + QPointF(0, 4));
  painter.drawLine(barStart + QPointF(barPixels, -4), barStart + QPointF(barPixels, 4));
  painter.drawText(barStart + QPointF(barPixels + 8, 5),
                   QStringLiteral("残差 %1    箭头: 平面残差  竖条: 高程残差 (蓝 正, 橙 负)  空心: 未参与  红: 超限")
                       .arg(MetresText(barMetres)));
  painter.drawText(QPointF(kMargin, 18), QStringLiteral("点位范围 %1 (北向上)").arg(MetresText(extent)));
}

}  // namespace tarnwell
