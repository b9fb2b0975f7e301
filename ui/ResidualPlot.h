// The residual plot of a parameter page: the common points at their plane
// positions (north up), each with its plane residual drawn as a vector and
// its height residual as a vertical bar, both to one stated scale shown by a
// scale bar. Points kept out of the estimate are hollow, flagged ones red;
// height bars blue upwards, orange downwards.
#pragma once

#include <QString>
#include <QWidget>
#include <vector>

namespace tarnwell {

class ResidualPlot : public QWidget {
  Q_OBJECT

 public:
  struct Point {
    QString name;
    double north = 0, east = 0;    // plane position, metres
    double vNorth = 0, vEast = 0;  // plane residual, metres
    double vHeight = 0;            // metres
    bool participates = true;
    bool flagged = false;
  };

  explicit ResidualPlot(QWidget* parent = nullptr);

  // Replaces the points; none clears the plot.
  void SetPoints(std::vector<Point> points);
  const std::vector<Point>& points() const { return points_; }

  // The residual length the scale bar stands for, metres: a 1-2-5 step near
  // a fifth of the largest residual's drawing room.
  double ScaleBarMetres() const;

  QSize sizeHint() const override { return {480, 240}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<Point> points_;
};

}  // namespace tarnwell
