// The residual plot of a parameter page: the drawing the reports carry too,
// painted on a white widget.
#pragma once

#include <QWidget>
#include <vector>

#include "report/ResidualDrawing.h"

namespace tarnwell {

class ResidualPlot : public QWidget {
  Q_OBJECT

 public:
  using Point = ResidualDrawing::Point;

  explicit ResidualPlot(QWidget* parent = nullptr);

  // Replaces the points; none clears the plot.
  void SetPoints(std::vector<Point> points);
  const std::vector<Point>& points() const { return drawing_.points(); }
  const ResidualDrawing& drawing() const { return drawing_; }

  // The residual length the scale bar stands for, metres.
  double ScaleBarMetres() const { return drawing_.ScaleBarMetres(); }

  QSize sizeHint() const override { return {320, 340}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ResidualDrawing drawing_;
};

}  // namespace tarnwell
