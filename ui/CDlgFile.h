// The file page: converts whole coordinate files, line by line, with the
// settings in force, in the layout the format dialog edits. The input box
// holds one file, several ("a.csv" "b.csv", as the file dialog fills it) or
// a folder (its coordinate files, CoordinateFilesIn). The output goes
// beside each input (named as OutputPathFor says), or where the output box
// says: a file for one input, a folder for several. Each file is converted
// on its own: one that fails does not stop the others, and the summary
// names each with its count of points or its message.
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
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "batch/CoordinateFile.h"
#include "ui/FileDialogs.h"

class QLabel;
class QLineEdit;
class QMenu;

class QThread;

namespace tarnwell {

class CDlgFileFt;
class FilePreviewTable;
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
  void OnFolder();
  void OnChooseOutput();
  void OnConvert();

  // Reads the preview again (after a change of the source type or format).
  void RefreshPreview();

  CDlgFileFt* formatDialog() const { return formatDialog_; }

  // Whether the check of the whole file, which runs in the background after
  // every refresh of the preview, is still running.
  bool fileCheckRunning() const;

  // How long a conversion runs before the progress dialog appears.
  void setProgressDelay(std::chrono::milliseconds delay) { progressDelay_ = delay; }

  // Replaces the file-open dialog of "浏览" (which may give several files,
  // see JoinPaths), the folder dialog of "文件夹" and the dialog of
  // "输出到" (asked for a folder, or for a file when `folder` is false).
  void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
  void setFolderChooser(FileChooser chooser) { chooseFolder_ = std::move(chooser); }
  using OutputChooser = std::function<QString(QWidget* parent, bool folder)>;
  void setOutputChooser(OutputChooser chooser) { chooseOutput_ = std::move(chooser); }
  // The question before an existing output is replaced (the standard
  // question box unless set).
  void setQuestion(Question question) { question_ = std::move(question); }

  // The store that keeps the recent files (none: they last as long as the
  // page); the menu the page fills with them, each entry putting its path in
  // the input box. Both must outlive the page.
  void setStore(SettingsStore* store);
  void setRecentFilesMenu(QMenu* menu);
  const QStringList& recentFiles() const { return recentFiles_; }

  // Puts `path` (or several, see JoinPaths) in the input box.
  void setInputPath(const QString& path);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // What became of one input.
  struct FileOutcome {
    std::string inputPath;
    BatchResult result;
    std::string messages;  // what the core said of it, when several are converted
  };
  std::vector<FileOutcome> ConvertOnWorker(const std::vector<std::string>& inputPaths);
  // The files the input box names, folders opened; nullopt, with the
  // message shown, when there is none to convert.
  std::optional<std::vector<std::string>> InputFiles();
  // False when an output exists and the user keeps it.
  bool MayWriteOutputs(const std::vector<std::string>& inputPaths);
  // The file the previews show: the first the box names, or the first of its folder.
  QString PreviewedFile() const;
  void ShowOutcomes(const std::vector<FileOutcome>& outcomes, double seconds);
  void RememberRecentFile(const QString& path);
  void OnInputChanged();
  // The background check of the whole file: a new one stops the last.
  void StartFileCheck(const QString& path);
  void StopFileCheck();
  void ShowFileCheck(const FileCheck& check);
  void FillRecentFilesMenu();

  QLineEdit* inputPath_ = nullptr;
  QLineEdit* outputPath_ = nullptr;
  QLineEdit* outputChoice_ = nullptr;
  QLabel* summary_ = nullptr;
  QLabel* previewTitle_ = nullptr;
  FilePreviewTable* preview_ = nullptr;
  QLabel* fileCheck_ = nullptr;  // what the check of the whole file found
  std::unique_ptr<QThread> fileCheckThread_;
  std::atomic<bool> fileCheckCancel_{false};
  int fileCheckGeneration_ = 0;
  CDlgFileFt* formatDialog_ = nullptr;
  std::chrono::milliseconds progressDelay_{500};
  FileChooser chooseFile_ = OpenCoordinateFiles;
  FileChooser chooseFolder_;
  OutputChooser chooseOutput_;
  Question question_;
  SettingsStore* store_ = nullptr;
  QMenu* recentFilesMenu_ = nullptr;
  QStringList recentFiles_;  // the latest first
};

}  // namespace tarnwell
