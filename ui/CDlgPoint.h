// The single-point page: three source values in, three target values out,
// labelled by the coordinate types the main window has chosen.
#pragma once

#include <QWidget>
#include <array>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tarnwell {

// The names of the three values of a coordinate type: B, L, h for "LB"
// (纬度, 经度, 大地高), X, Y, Z for "Space", x, y, h for any other ("Plan").
std::array<QString, 3> CoordinateValueNames(const std::string& type);

class CDlgPoint : public QWidget {
  Q_OBJECT

 public:
  explicit CDlgPoint(QWidget* parent = nullptr);

  // Relabel the three source or the three target boxes for a coordinate-type
  // keyword ("Space", "LB", anything else reads as "Plan").
  void SetSourceLabels(const std::string& type);
  void SetTargetLabels(const std::string& type);

  void OnConvert();

 private:
  static void SetLabels(const std::array<QLabel*, 3>& labels, const std::string& type);

  std::array<QLabel*, 3> sourceLabels_{};
  std::array<QLabel*, 3> targetLabels_{};
  std::array<QLineEdit*, 3> sourceValues_{};
  std::array<QLineEdit*, 3> targetValues_{};
  QPushButton* convertButton_ = nullptr;
};

}  // namespace tarnwell
