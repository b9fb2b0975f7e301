// The single-point page: three source values in, three target values out,
// labelled by the coordinate types the main window has chosen, and under
// them the grid factors of the point on a Plan side (engine/GridFactors.h).
//
// Below them, a table of many points (PointTable) with "全部转换".
//
// A result stands only as long as the settings it was converted with: a
// refused conversion empties the target boxes, and so does any change of
// the settings once the window reports it (ForgetStaleResult); the same
// holds for the table's results.
#pragma once

#include <QStringList>
#include <QWidget>
#include <array>
#include <optional>

#include "engine/CoordSettings.h"
#include "engine/PointConversion.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tarnwell {

class PointTable;

// The names of the three values of a coordinate type: B, L, h for "LB"
// (纬度, 经度, 大地高), X, Y, Z for "Space", x, y, h for "Plan".
// The names of a point's three values; the height's says which it is:
// 大地高 h or 正常高 H ("Space" has none).
std::array<QString, 3> CoordinateValueNames(CoordinateType type, HeightSystem height);

class CDlgPoint : public QWidget {
  Q_OBJECT

 public:
  explicit CDlgPoint(QWidget* parent = nullptr);

  // Relabel the three source or the three target boxes.
  void SetSourceLabels(CoordinateType type, HeightSystem height);
  void SetTargetLabels(CoordinateType type, HeightSystem height);

  // Enter in a source box converts as the button does.
  void OnConvert();
  // Converts every row of the table.
  void OnConvertTable();

  // The texts of the three source boxes, as typed.
  QStringList sourceTexts() const;
  // Fills the source boxes from the front of `texts`; missing ones stay empty.
  void setSourceTexts(const QStringList& texts);

  // Empties the target boxes when the settings in force are no longer those
  // the result shown was converted with.
  void ForgetStaleResult();
  void ClearTargets();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  static void SetLabels(const std::array<QLabel*, 3>& labels, CoordinateType type, HeightSystem height);
  void ShowTargets(const PointTexts& texts);
  void ShowFactors(const CoordSettings& settings, const PointTexts& source);

  std::array<QLabel*, 3> sourceLabels_{};
  std::array<QLabel*, 3> targetLabels_{};
  std::array<QLineEdit*, 3> sourceValues_{};
  std::array<QLineEdit*, 3> targetValues_{};
  std::array<QString, 3> sourceNames_, targetNames_;  // of the values, for the table's headers
  QPushButton* convertButton_ = nullptr;
  QLabel* factors_ = nullptr;
  PointTable* table_ = nullptr;
  // The settings of the table's results; none while it has none.
  std::optional<CoordSettings> tableSettings_;
  // The settings of the result in the target boxes; none while they are empty.
  std::optional<CoordSettings> resultSettings_;
};

}  // namespace tarnwell
