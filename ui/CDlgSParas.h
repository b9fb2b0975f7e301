// The seven-parameter page: common points imported from files into a sorted
// list; "计算七参数" estimates the Bursa-Wolf parameters by least squares,
// stores them in CoordSettings, shows how well they fit and opens the datum
// dialog.
#pragma once

#include <QWidget>
#include <string>
#include <utility>
#include <vector>

#include "ui/FileDialogs.h"

class QListWidget;

namespace tarnwell {

class CDlgDatumTrans;
class CDlgFitReport;

class CDlgSParas : public QWidget {
  Q_OBJECT

 public:
  // `datumDialog` is the main window's datum dialog, opened after a
  // computation.
  CDlgSParas(CDlgDatumTrans* datumDialog, QWidget* parent = nullptr);

  void OnImport();
  void OnCompute();

  // Adds every line of the file to the list, each at its sorted place.
  void ImportFile(const QString& path);

  const std::vector<std::string>& commonPoints() const { return commonPoints_; }

  // Replaces the file-open dialog of "导入文件".
  void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

 private:
  CDlgDatumTrans* datumDialog_;
  CDlgFitReport* fitReportDialog_ = nullptr;
  FileChooser chooseFile_ = OpenCoordinateFile;
  QListWidget* commonPointList_ = nullptr;
  std::vector<std::string> commonPoints_;  // the list's lines, in list order
};

}  // namespace tarnwell
