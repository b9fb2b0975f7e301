// What the seven- and the four-parameter pages share: common points imported
// from files into a table, a tick per point for whether the estimate uses it,
// the residuals of every point after each computation with the RMS and the
// largest above the table and in a residual plot below it, and the buttons
// 导入文件, compute, 清空, 删除 and 导出报告.
// A page keeps its points in its own list (CommonPointListPage); the table
// shows them.
#pragma once

#include <QWidget>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "estimate/CalibrationReport.h"
#include "ui/CommonPointTable.h"
#include "ui/FileDialogs.h"
#include "ui/ResidualPlot.h"

class QLabel;
class QVBoxLayout;

namespace tarnwell {

class CommonPointPage : public QWidget {
  Q_OBJECT

 public:
  void OnImport();
  // Estimates from the list and shows the outcome with ShowResult.
  virtual void OnCompute() = 0;
  void OnClear();
  void OnDelete();

  // Adds every point of the file to the list, or none (with the message).
  void ImportFile(const QString& path);

  // Replaces the file-open dialog of "导入文件".
  void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

  // 导出报告: asks for a name and writes the last estimate's report there.
  void OnExportReport();
  // Writes the report of the last estimate as the name's ending says: .html
  // (the plot inside), .pdf (printed from the HTML) or .csv; false, with
  // the message shown, when there is no estimate of the points shown, the
  // ending is none of these, or the file cannot be written.
  bool ExportReport(const QString& path);
  // Replaces the file-save dialog of "导出报告".
  void setReportChooser(FileChooser chooser) { chooseReport_ = std::move(chooser); }

 signals:
  // Points of a file were added to the list.
  void pointsImported();

 protected:
  CommonPointPage(const QString& computeText, const QStringList& coordinateHeaders,
                  const QStringList& residualHeaders, QWidget* parent);

  // Adds the points of the file at `path` to the page's list; false (the
  // message shown) when it added none.
  virtual bool Import(const std::string& path) = 0;
  // The points of the list as rows of the table.
  virtual std::vector<CommonPointTable::Row> Rows() const = 0;
  virtual void SetParticipates(std::size_t point, bool participates) = 0;
  // Removes the points with these indices (ascending) from the list.
  virtual void RemovePoints(const std::vector<std::size_t>& points) = 0;
  virtual void ClearPoints() = 0;

  // Puts a control of the page's own above the compute button.
  void AddOption(const QString& labelText, QWidget* control);
  // The residuals of every point, whether each is flagged, and the summary
  // above the table; the points and residuals in the plot.
  void ShowResult(const std::vector<CommonPointTable::Residuals>& residuals, const QString& summary,
                  const std::vector<bool>& flagged, std::vector<ResidualPlot::Point> plotted);
  // The report of the last estimate, from the files the list was read from.
  virtual CalibrationReport MakeReport(const ReportSource& source) const = 0;

 private:
  // The list anew in the table, without residuals: they belonged to other points.
  void ShowPoints();

  CommonPointTable* table_ = nullptr;
  QLabel* summary_ = nullptr;
  ResidualPlot* plot_ = nullptr;
  QVBoxLayout* buttons_ = nullptr;
  FileChooser chooseFile_ = OpenCoordinateFile;
  FileChooser chooseReport_ = SaveReportFile;
  std::vector<std::string> importedFiles_;  // since the list was last cleared
  bool estimateShown_ = false;              // ShowResult since the list last changed
};

// A page whose list holds common points of type `Point`, each with its
// `participates` flag.
template <typename Point>
class CommonPointListPage : public CommonPointPage {
 public:
  const std::vector<Point>& commonPoints() const { return commonPoints_; }

 protected:
  using CommonPointPage::CommonPointPage;

  void SetParticipates(std::size_t point, bool participates) override {
    commonPoints_[point].participates = participates;
  }
  void RemovePoints(const std::vector<std::size_t>& points) override {
    std::size_t kept = 0, next = 0;
    for (std::size_t i = 0; i < commonPoints_.size(); ++i) {
      if (next < points.size() && points[next] == i) {
        ++next;
      } else {
        if (kept != i) commonPoints_[kept] = std::move(commonPoints_[i]);
        ++kept;
      }
    }
    commonPoints_.resize(kept);
  }
  void ClearPoints() override { commonPoints_.clear(); }

  std::vector<Point> commonPoints_;
};

}  // namespace tarnwell
