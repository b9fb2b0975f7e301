// The file page: converts a whole coordinate file, line by line, into the
// file named after it with "1" appended, with the settings in force.
//
// The conversion runs on a worker thread. The window takes no input while it
// runs (the settings must not change under it); a conversion that takes
// longer than a moment shows a modal progress dialog with a Cancel button.
//
// The page shows the first lines of the chosen file as the conversion will
// read them, checks the whole file in the background for its first bad line,
// asks before an existing output is replaced, sums up a finished
// conversion, takes a file dropped on it and keeps the files used last.
#pragma once

#include <QStringList>
#include <QWidget>
#include <chrono>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "batch/CoordinateFile.h"
#include "ui/FileDialogs.h"

class QLabel;
class QLineEdit;
class QMenu;
class QTableWidget;
class QThread;

namespace tarnwell {

class CDlgFileFt;
class SettingsStore;

class CDlgFile : public QWidget {
  Q_OBJECT

 public:
  // Asks a yes/no question over `parent`; true for yes.
  using Question = std::function<bool(QWidget* parent, const QString& text)>;

  // The files the page keeps in its menu.
  static constexpr int kRecentFileCount = 8;
  // The lines the preview shows.
  static constexpr std::size_t kPreviewLineCount = 10;

  explicit CDlgFile(QWidget* parent = nullptr);
  ~CDlgFile() override;

  void OnFormat();
  void OnBrowse();
  void OnConvert();

  // Reads the preview again (after a change of the source type or format).
  void RefreshPreview();

  CDlgFileFt* formatDialog() const { return formatDialog_; }

  // Whether the check of the whole file, which runs in the background after
  // every refresh of the preview, is still running.
  bool fileCheckRunning() const;

  // How long a conversion runs before the progress dialog appears.
  void setProgressDelay(std::chrono::milliseconds delay) { progressDelay_ = delay; }

  // Replaces the file-open dialog of "浏览".
  void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
  // The question before an existing output is replaced (the standard
  // question box unless set).
  void setQuestion(Question question) { question_ = std::move(question); }

  // The store that keeps the recent files (none: they last as long as the
  // page); the menu the page fills with them, each entry putting its path in
  // the input box. Both must outlive the page.
  void setStore(SettingsStore* store);
  void setRecentFilesMenu(QMenu* menu);
  const QStringList& recentFiles() const { return recentFiles_; }

  // Puts `path` in the input box.
  void setInputPath(const QString& path);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  BatchResult ConvertOnWorker(const std::string& inputPath);
  // False when the output exists and the user keeps it.
  bool MayWriteOutput(const std::string& inputPath);
  void RememberRecentFile(const QString& path);
  void OnInputChanged();
  void ShowPreviewReason(int row, const QString& text);
  // The background check of the whole file: a new one stops the last.
  void StartFileCheck(const QString& path);
  void StopFileCheck();
  void ShowFileCheck(const FileCheck& check);
  void FillRecentFilesMenu();

  QLineEdit* inputPath_ = nullptr;
  QLineEdit* outputPath_ = nullptr;
  QLabel* summary_ = nullptr;
  QLabel* previewTitle_ = nullptr;
  QTableWidget* preview_ = nullptr;
  QLabel* fileCheck_ = nullptr;  // what the check of the whole file found
  std::unique_ptr<QThread> fileCheckThread_;
  std::atomic<bool> fileCheckCancel_{false};
  int fileCheckGeneration_ = 0;
  CDlgFileFt* formatDialog_ = nullptr;
  std::chrono::milliseconds progressDelay_{500};
  FileChooser chooseFile_ = OpenCoordinateFile;
  Question question_;
  SettingsStore* store_ = nullptr;
  QMenu* recentFilesMenu_ = nullptr;
  QStringList recentFiles_;  // the latest first
};

}  // namespace tarnwell
