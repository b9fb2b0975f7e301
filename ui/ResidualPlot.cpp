#include "ui/ResidualPlot.h"

#include <QPainter>

namespace tarnwell {

ResidualPlot::ResidualPlot(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("residualPlot"));
  setMinimumSize(240, 180);
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
}

void ResidualPlot::SetPoints(std::vector<Point> points) {
  drawing_ = ResidualDrawing(std::move(points));
  update();
}

void ResidualPlot::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  drawing_.Paint(painter, QRectF(rect()));
}

}  // namespace tarnwell
