#include "ui/CDlgFile.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QValidator>
#include <QVBoxLayout>
#include <atomic>
#include <memory>

#include "engine/Messages.h"
#include "ui/CDlgFileFt.h"
#include "ui/CDlgPoint.h"
#include "ui/FilePreviewTable.h"
#include "ui/QtText.h"
#include "ui/SettingsStore.h"
#include "ui/StandardMessageBox.h"

namespace tarnwell {
namespace {

constexpr int kProgressSteps = 1000;
constexpr std::chrono::milliseconds kProgressPoll{100};

// A path is one line: line breaks in pasted text are dropped.
class SingleLineValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& position) const override {
    const qsizetype before = input.size();
    input.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    position -= static_cast<int>(before - input.size());
    if (position < 0) position = 0;
    return Acceptable;
  }
};

QLineEdit* MakePathBox(const QString& objectName) {
  auto* box = new QLineEdit;
  box->setObjectName(objectName);
  box->setValidator(new SingleLineValidator(box));
  // A file dropped on the box goes to the page, which takes its path.
  box->setAcceptDrops(false);
  return box;
}

// The local files a drag carries, in the input box's form; empty unless
// every one is local.
QString DroppedFiles(const QMimeData* data) {
  if (!data || !data->hasUrls() || data->urls().isEmpty()) return {};
  QStringList paths;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) return {};
    paths << url.toLocalFile();
  }
  return JoinPaths(paths);
}

QString FileName(const std::string& path) { return QFileInfo(ToQtPath(path)).fileName(); }

QPushButton* MakeButton(const QString& text, const QString& objectName) {
  auto* button = new QPushButton(text);
  button->setObjectName(objectName);
  return button;
}

}  // namespace

CDlgFile::CDlgFile(QWidget* parent) : QWidget(parent), question_(AskStandardQuestion) {
  setObjectName(QStringLiteral("filePage"));
  setAcceptDrops(true);
  inputPath_ = MakePathBox(QStringLiteral("inputPath"));
  outputPath_ = MakePathBox(QStringLiteral("outputPath"));
  // Shows where the last conversion wrote; the page never reads it.
  outputPath_->setReadOnly(true);
  outputChoice_ = MakePathBox(QStringLiteral("outputChoice"));
  outputChoice_->setPlaceholderText(QStringLiteral("默认: 输入文件旁, 文件名加 1 (CSV: 加 1.csv)"));
  connect(inputPath_, &QLineEdit::textChanged, this, &CDlgFile::OnInputChanged);
  summary_ = new QLabel;
  summary_->setObjectName(QStringLiteral("summary"));
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  summary_->setWordWrap(true);
  previewTitle_ = new QLabel(QStringLiteral("预览：前 %1 行").arg(kPreviewLineCount));
  previewTitle_->setObjectName(QStringLiteral("previewTitle"));
  fileCheck_ = new QLabel;
  fileCheck_->setObjectName(QStringLiteral("fileCheck"));
  fileCheck_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  fileCheck_->setWordWrap(true);
  preview_ = new FilePreviewTable;
  preview_->setObjectName(QStringLiteral("preview"));
  formatDialog_ = new CDlgFileFt(this);

  QPushButton* format = MakeButton(QStringLiteral("格式"), QStringLiteral("formatButton"));
  QPushButton* browse = MakeButton(QStringLiteral("浏览"), QStringLiteral("browseButton"));
  QPushButton* folder = MakeButton(QStringLiteral("文件夹"), QStringLiteral("folderButton"));
  QPushButton* output = MakeButton(QStringLiteral("输出到"), QStringLiteral("outputButton"));
  QPushButton* convert = MakeButton(QStringLiteral("转换"), QStringLiteral("convertButton"));
  connect(format, &QPushButton::clicked, this, &CDlgFile::OnFormat);
  connect(browse, &QPushButton::clicked, this, &CDlgFile::OnBrowse);
  connect(folder, &QPushButton::clicked, this, &CDlgFile::OnFolder);
  connect(output, &QPushButton::clicked, this, &CDlgFile::OnChooseOutput);
  connect(convert, &QPushButton::clicked, this, &CDlgFile::OnConvert);
  chooseFolder_ = [](QWidget* parent) { return ChooseFolder(parent, QStringLiteral("选择坐标文件所在的文件夹")); };
  chooseOutput_ = [](QWidget* parent, bool toFolder) {
    return toFolder ? ChooseFolder(parent, QStringLiteral("选择输出文件夹")) : SaveConvertedFile(parent);
  };

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(format);
  buttons->addWidget(browse);
  buttons->addWidget(folder);
  buttons->addWidget(output);
  buttons->addWidget(convert);
  buttons->addStretch();

  auto* paths = new QGridLayout;
  paths->addWidget(new QLabel(QStringLiteral("输入文件")), 0, 0);
  paths->addWidget(inputPath_, 0, 1);
  paths->addWidget(new QLabel(QStringLiteral("输出位置")), 1, 0);
  paths->addWidget(outputChoice_, 1, 1);
  paths->addWidget(new QLabel(QStringLiteral("输出文件")), 2, 0);
  paths->addWidget(outputPath_, 2, 1);
  auto* boxes = new QVBoxLayout;
  boxes->addLayout(paths);
  boxes->addWidget(summary_);
  boxes->addWidget(previewTitle_);
  boxes->addWidget(preview_, 1);
  boxes->addWidget(fileCheck_);

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(boxes, 1);
  layout->addLayout(buttons);
  RefreshPreview();
}

CDlgFile::~CDlgFile() { StopFileCheck(); }

void CDlgFile::OnInputChanged() {
  // What the last conversion wrote belongs to the last input.
  summary_->clear();
  outputPath_->clear();
  RefreshPreview();
}

void CDlgFile::OnFormat() {
  formatDialog_->setPreviewPath(PreviewedFile());
  formatDialog_->exec();
  RefreshPreview();
}

void CDlgFile::OnBrowse() {
  const QString path = chooseFile_(this);
  if (path.isEmpty()) return;
  setInputPath(path);
  RememberRecentFile(path);
}

void CDlgFile::OnFolder() {
  const QString folder = chooseFolder_(this);
  if (folder.isEmpty()) return;
  setInputPath(folder);
  RememberRecentFile(folder);
}

// A folder for several inputs (or a folder of them), a file for one.
void CDlgFile::OnChooseOutput() {
  const QStringList inputs = SplitPaths(inputPath_->text());
  const bool several = inputs.size() > 1 || (inputs.size() == 1 && QFileInfo(inputs.front()).isDir());
  const QString chosen = chooseOutput_(this, several);
  if (!chosen.isEmpty()) outputChoice_->setText(chosen);
}

void CDlgFile::setInputPath(const QString& path) { inputPath_->setText(path); }

void CDlgFile::OnConvert() {
  const CoordSettings& settings = CoordSettings::instance();
  // The layout must fit the source type first: the conversion says so.
  if (!CheckFileFormat(settings)) {
    ConvertCoordinateFile(settings, {});
    return;
  }
  const std::optional<std::vector<std::string>> inputs = InputFiles();
  if (!inputs || !MayWriteOutputs(*inputs)) return;
  QElapsedTimer clock;
  clock.start();
  const std::vector<FileOutcome> outcomes = ConvertOnWorker(*inputs);
  ShowOutcomes(outcomes, static_cast<double>(clock.elapsed()) / 1000);
}

std::optional<std::vector<std::string>> CDlgFile::InputFiles() {
  std::vector<std::string> files;
  const QStringList paths = SplitPaths(inputPath_->text());
  // An empty box stops without a word.
  if (paths.isEmpty()) return std::nullopt;
  for (const QString& path : paths) {
    if (!QFileInfo(path).isDir()) {
      files.push_back(ToStdPath(path));
      continue;
    }
    const std::vector<std::string> inFolder = CoordinateFilesIn(ToStdPath(path));
    if (inFolder.empty()) {
      ShowMessage("文件夹中没有坐标文件 (.csv .txt .dat): " + ToStdPath(path));
      return std::nullopt;
    }
    files.insert(files.end(), inFolder.begin(), inFolder.end());
  }
  // One output file for several inputs would keep only the last.
  const QString output = outputChoice_->text();
  if (files.size() > 1 && !output.isEmpty() && !QFileInfo(output).isDir()) {
    ShowMessage("多个输入文件时, 输出位置须为已有的文件夹。");
    return std::nullopt;
  }
  return files;
}

bool CDlgFile::MayWriteOutputs(const std::vector<std::string>& inputPaths) {
  // Only a conversion that can start replaces anything: an input that is no
  // file is reported by the conversion itself.
  QStringList existing;
  for (const std::string& input : inputPaths) {
    const QString output =
        ToQtPath(OutputPathFor(input, ToStdPath(outputChoice_->text()), CoordSettings::instance().outputLayout));
    if (QFileInfo(ToQtPath(input)).isFile() && QFileInfo::exists(output)) existing << output;
  }
  if (existing.isEmpty()) return true;
  if (existing.size() == 1) return question_(this, QStringLiteral("文件 %1 已存在，是否覆盖？").arg(existing.front()));
  return question_(this, QStringLiteral("以下 %1 个文件已存在，是否覆盖？\n%2").arg(existing.size()).arg(existing.join('\n')));
}

void CDlgFile::ShowOutcomes(const std::vector<FileOutcome>& outcomes, double seconds) {
  outputPath_->clear();
  summary_->clear();
  QStringList written, lines;
  std::uint64_t points = 0;
  bool cancelled = false;
  for (const FileOutcome& file : outcomes) {
    const BatchResult& result = file.result;
    if (result.outcome == BatchOutcome::Converted) {
      written << ToQtPath(result.outputPath);
      points += result.linesWritten;
      lines << QStringLiteral("%1: 已转换 %2 个点 → %3").arg(FileName(file.inputPath)).arg(result.linesWritten).arg(written.back());
    } else {
      cancelled = cancelled || result.outcome == BatchOutcome::Cancelled;
      const QString why = result.outcome == BatchOutcome::Cancelled ? QStringLiteral("已取消") : OneLine(file.messages);
      lines << QStringLiteral("%1: 未转换 %2").arg(FileName(file.inputPath), why);
    }
  }
  if (cancelled) ShowMessage("转换已取消。");
  if (written.isEmpty()) return;
  outputPath_->setText(JoinPaths(written));
  if (outcomes.size() == 1) {
    summary_->setText(QStringLiteral("已转换 %1 个点，用时 %2 秒\n%3").arg(points).arg(seconds, 0, 'f', 2).arg(written.front()));
  } else {
    summary_->setText(QStringLiteral("已转换 %1 个文件, %2 个未转换, 共 %3 个点，用时 %4 秒\n")
                          .arg(written.size())
                          .arg(outcomes.size() - static_cast<std::size_t>(written.size()))
                          .arg(points)
                          .arg(seconds, 0, 'f', 2) +
                      lines.join(QLatin1Char('\n')));
  }
  RememberRecentFile(inputPath_->text());
}

QString CDlgFile::PreviewedFile() const {
  const QStringList inputs = SplitPaths(inputPath_->text());
  if (inputs.isEmpty() || !QFileInfo(inputs.front()).isDir()) return inputs.value(0);
  const std::vector<std::string> files = CoordinateFilesIn(ToStdPath(inputs.front()));
  return files.empty() ? QString() : ToQtPath(files.front());
}

void CDlgFile::RefreshPreview() {
  const QString path = PreviewedFile();
  StartFileCheck(path);
  preview_->Show(CoordSettings::instance(), path, kPreviewLineCount);
}

void CDlgFile::StartFileCheck(const QString& path) {
  StopFileCheck();
  fileCheck_->clear();
  if (path.isEmpty()) return;
  fileCheck_->setText(QStringLiteral("正在检查整个文件……"));
  fileCheckCancel_ = false;
  auto outcome = std::make_shared<FileCheck>();
  const CoordSettings settings = CoordSettings::instance();
  const std::string inputPath = ToStdPath(path);
  fileCheckThread_.reset(QThread::create(
      [this, outcome, settings, inputPath] { *outcome = CheckCoordinateFile(settings, inputPath, &fileCheckCancel_); }));
  const int generation = ++fileCheckGeneration_;
  // A check started since, or stopped, makes this one's outcome stale.
  connect(fileCheckThread_.get(), &QThread::finished, this, [this, outcome, generation] {
    if (generation == fileCheckGeneration_) ShowFileCheck(*outcome);
  });
  fileCheckThread_->start();
}

void CDlgFile::StopFileCheck() {
  ++fileCheckGeneration_;
  if (!fileCheckThread_) return;
  fileCheckCancel_ = true;
  fileCheckThread_->wait();
  fileCheckThread_.reset();
}

void CDlgFile::ShowFileCheck(const FileCheck& check) {
  if (!check.readable) {
    fileCheck_->setText(QStringLiteral("整个文件检查：坐标文件无法读取。"));
  } else if (check.firstRefused) {
    fileCheck_->setText(QStringLiteral("整个文件检查：第 %1 行：%2")
                            .arg(check.firstRefused->lineNumber)
                            .arg(ToQt(check.firstRefused->refusal)));
  } else {
    fileCheck_->setText(QStringLiteral("整个文件检查：各行均可读取。"));
  }
}

bool CDlgFile::fileCheckRunning() const { return fileCheckThread_ && !fileCheckThread_->isFinished(); }

void CDlgFile::setStore(SettingsStore* store) {
  store_ = store;
  if (store_) recentFiles_ = store_->recentFiles();
  FillRecentFilesMenu();
}

void CDlgFile::setRecentFilesMenu(QMenu* menu) {
  recentFilesMenu_ = menu;
  FillRecentFilesMenu();
}

void CDlgFile::RememberRecentFile(const QString& path) {
  // A list of files is this conversion's choice, not a file to come back to.
  if (SplitPaths(path).size() != 1) return;
  recentFiles_.removeAll(path);
  recentFiles_.prepend(path);
  while (recentFiles_.size() > kRecentFileCount) recentFiles_.removeLast();
  if (store_) store_->setRecentFiles(recentFiles_);
  FillRecentFilesMenu();
}

void CDlgFile::FillRecentFilesMenu() {
  if (!recentFilesMenu_) return;
  recentFilesMenu_->clear();
  for (const QString& path : recentFiles_) {
    QAction* action = recentFilesMenu_->addAction(path);
    connect(action, &QAction::triggered, this, [this, path] { setInputPath(path); });
  }
  recentFilesMenu_->setEnabled(!recentFiles_.isEmpty());
}

void CDlgFile::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CDlgFile::dropEvent(QDropEvent* event) {
  const QString path = DroppedFiles(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  setInputPath(path);
  RememberRecentFile(path);
}

void CDlgFile::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  RefreshPreview();
}

std::vector<CDlgFile::FileOutcome> CDlgFile::ConvertOnWorker(const std::vector<std::string>& inputPaths) {
  std::atomic<bool> cancel{false};
  std::atomic<std::uint64_t> bytesDone{0};
  std::atomic<std::uint64_t> bytesTotal{0};
  std::atomic<std::size_t> fileNumber{1};
  BatchOptions options;
  options.cancel = &cancel;
  options.output = ToStdPath(outputChoice_->text());
  options.onProgress = [&](const BatchProgress& progress) {
    bytesDone = progress.bytesDone;
    bytesTotal = progress.bytesTotal;
  };

  // The worker converts with the settings of this moment, whatever the
  // window does meanwhile. Of several files each keeps its messages for
  // the summary rather than a box apiece; only the worker speaks meanwhile.
  const CoordSettings settings = CoordSettings::instance();
  std::vector<FileOutcome> outcomes;
  const bool several = inputPaths.size() > 1;
  MessageHandler shown;
  if (several) {
    shown = SetMessageHandler([&outcomes](const std::string& text) {
      std::string& messages = outcomes.back().messages;
      if (!messages.empty()) messages += ' ';
      messages += text;
    });
  }
  std::unique_ptr<QThread> worker(QThread::create([&] {
    for (const std::string& input : inputPaths) {
      if (cancel) break;
      fileNumber = outcomes.size() + 1;
      outcomes.push_back({input, {}, {}});
      outcomes.back().result = ConvertCoordinateFile(settings, input, options);
    }
  }));
  bool finished = false;  // set on this thread, when the worker's end has been seen
  QEventLoop waiting;
  connect(worker.get(), &QThread::finished, &waiting, [&] {
    finished = true;
    waiting.quit();
  });
  worker->start();

  // A short conversion ends before anything is shown; user input waits
  // until it has ended, as it would for a conversion on this thread.
  QTimer::singleShot(progressDelay_, &waiting, &QEventLoop::quit);
  waiting.exec(QEventLoop::ExcludeUserInputEvents);

  if (!finished) {
    QProgressDialog progress(QStringLiteral("正在转换坐标文件……"), QStringLiteral("取消"), 0, kProgressSteps, this);
    progress.setObjectName(QStringLiteral("conversionProgress"));
    progress.setWindowTitle(QStringLiteral("Tarnwell"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    connect(&progress, &QProgressDialog::canceled, &waiting, [&] {
      cancel = true;
      waiting.quit();
    });
    QTimer poll;
    connect(&poll, &QTimer::timeout, &progress, [&] {
      const std::uint64_t total = bytesTotal;
      if (total > 0) progress.setValue(static_cast<int>(kProgressSteps * bytesDone / total));
      if (several)
        progress.setLabelText(QStringLiteral("正在转换坐标文件 (%1/%2)……").arg(fileNumber.load()).arg(inputPaths.size()));
    });
    poll.start(kProgressPoll);
    progress.show();
    waiting.exec();
    // After Cancel the worker stops at the end of its current block.
    if (!finished) waiting.exec(QEventLoop::ExcludeUserInputEvents);
  }
  worker->wait();
  if (several) SetMessageHandler(shown);
  return outcomes;
}

}  // namespace tarnwell
