// The residual plot of an estimate, drawn with a QPainter wherever it is
// wanted: on the parameter pages and in the reports. The common points lie
// at their plane positions (north up), each with its plane residual drawn as
// a vector and its height residual as a vertical bar, both to one stated
// scale shown by a scale bar. Points kept out of the estimate are hollow,
// flagged ones red; height bars blue upwards, orange downwards.
#pragma once

#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>
#include <vector>

#include "estimate/PlaneFitReport.h"
#include "estimate/SevenParameters.h"

class QPainter;

namespace tarnwell {

class ResidualDrawing {
 public:
  struct Point {
    QString name;
    double north = 0, east = 0;    // plane position, metres
    double vNorth = 0, vEast = 0;  // plane residual, metres
    double vHeight = 0;            // metres
    bool participates = true;
    bool flagged = false;
  };

  ResidualDrawing() = default;
  explicit ResidualDrawing(std::vector<Point> points) : points_(std::move(points)) {}

  const std::vector<Point>& points() const { return points_; }

  // The residual length the scale bar stands for, metres: a 1-2-5 step near
  // half the largest residual; 0 without residuals.
  double ScaleBarMetres() const;

  // Draws into `area` of the painter's device, on what is there already;
  // without points, a note that the plot comes after a computation.
  void Paint(QPainter& painter, const QRectF& area) const;

  // The drawing on white, at this size in pixels, its text in `font`.
  QImage Image(int width, int height, const QFont& font = QFont()) const;

 private:
  std::vector<Point> points_;
};

// The points of a seven-parameter estimate, in its tangent plane.
std::vector<ResidualDrawing::Point> ResidualPoints(const FitReport& report);
// The points of a local-grid estimate at the source grid positions of
// `commonPoints`, from which it was estimated (one residual each, in order).
std::vector<ResidualDrawing::Point> ResidualPoints(const PlaneFitReport& report,
                                                   const std::vector<PlaneCommonPoint>& commonPoints);

}  // namespace tarnwell
