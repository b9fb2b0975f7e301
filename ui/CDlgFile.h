// The file page: converts a whole coordinate file, line by line, into the
// file named after it with "1" appended, with the settings in force.
//
// The conversion runs on a worker thread. The window takes no input while it
// runs (the settings must not change under it); a conversion that takes
// longer than a moment shows a modal progress dialog with a Cancel button.
#pragma once

#include <QWidget>
#include <chrono>
#include <string>
#include <utility>

#include "batch/CoordinateFile.h"
#include "ui/FileDialogs.h"

class QPlainTextEdit;
class QPushButton;

namespace tarnwell {

class CDlgFileFt;

class CDlgFile : public QWidget {
  Q_OBJECT

 public:
  explicit CDlgFile(QWidget* parent = nullptr);

  void OnFormat();
  void OnBrowse();
  void OnConvert();

  CDlgFileFt* formatDialog() const { return formatDialog_; }

  // How long a conversion runs before the progress dialog appears.
  void setProgressDelay(std::chrono::milliseconds delay) { progressDelay_ = delay; }

  // Replaces the file-open dialog of "浏览".
  void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

 private:
  BatchResult ConvertOnWorker(const std::string& inputPath);

  QPlainTextEdit* inputPath_ = nullptr;
  QPlainTextEdit* outputPath_ = nullptr;
  CDlgFileFt* formatDialog_ = nullptr;
  std::chrono::milliseconds progressDelay_{500};
  FileChooser chooseFile_ = OpenCoordinateFile;
};

}  // namespace tarnwell
