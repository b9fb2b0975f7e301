#include "ui/CDlgFile.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QValidator>
#include <QVBoxLayout>
#include <atomic>
#include <memory>

#include "engine/Messages.h"
#include "tables/NumberText.h"
#include "ui/CDlgFileFt.h"
#include "ui/CDlgPoint.h"
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

// The one local file a drag carries, or empty.
QString DroppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile()) return {};
  return data->urls().front().toLocalFile();
}

enum PreviewColumn { kLineColumn, kNameColumn, kFirstValueColumn, kReasonColumn = kFirstValueColumn + 3 };

QTableWidgetItem* PreviewItem(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

// A value as read: the shortest text that reads back to it (angles in
// decimal degrees).
QString ValueText(double value) {
  std::string text;
  AppendShortestNumber(value, text);
  return ToQt(text);
}

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
  preview_ = new QTableWidget(0, kReasonColumn + 1);
  preview_->setObjectName(QStringLiteral("preview"));
  preview_->verticalHeader()->hide();
  preview_->horizontalHeader()->setStretchLastSection(true);
  formatDialog_ = new CDlgFileFt(this);

  QPushButton* format = MakeButton(QStringLiteral("格式"), QStringLiteral("formatButton"));
  QPushButton* browse = MakeButton(QStringLiteral("浏览"), QStringLiteral("browseButton"));
  QPushButton* convert = MakeButton(QStringLiteral("转换"), QStringLiteral("convertButton"));
  connect(format, &QPushButton::clicked, this, &CDlgFile::OnFormat);
  connect(browse, &QPushButton::clicked, this, &CDlgFile::OnBrowse);
  connect(convert, &QPushButton::clicked, this, &CDlgFile::OnConvert);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(format);
  buttons->addWidget(browse);
  buttons->addWidget(convert);
  buttons->addStretch();

  auto* paths = new QGridLayout;
  paths->addWidget(new QLabel(QStringLiteral("输入文件")), 0, 0);
  paths->addWidget(inputPath_, 0, 1);
  paths->addWidget(new QLabel(QStringLiteral("输出文件")), 1, 0);
  paths->addWidget(outputPath_, 1, 1);
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
  formatDialog_->exec();
  RefreshPreview();
}

void CDlgFile::OnBrowse() {
  const QString path = chooseFile_(this);
  if (path.isEmpty()) return;
  setInputPath(path);
  RememberRecentFile(path);
}

void CDlgFile::setInputPath(const QString& path) { inputPath_->setText(path); }

void CDlgFile::OnConvert() {
  const std::string inputPath = ToStdPath(inputPath_->text());
  // An empty box stops without a word, but only once the file format has
  // been found to fit the source type (the conversion checks that first).
  if (inputPath.empty() && CheckFileFormat(CoordSettings::instance())) return;
  if (CheckFileFormat(CoordSettings::instance()) && !MayWriteOutput(inputPath)) return;
  QElapsedTimer clock;
  clock.start();
  const BatchResult result = ConvertOnWorker(inputPath);
  const double seconds = static_cast<double>(clock.elapsed()) / 1000;
  if (result.outcome != BatchOutcome::Converted) {
    outputPath_->clear();
    summary_->clear();
    if (result.outcome == BatchOutcome::Cancelled) ShowMessage("转换已取消。");
    return;
  }
  const QString outputPath = ToQtPath(result.outputPath);
  outputPath_->setText(outputPath);
  summary_->setText(QStringLiteral("已转换 %1 个点，用时 %2 秒\n%3")
                        .arg(result.linesWritten)
                        .arg(seconds, 0, 'f', 2)
                        .arg(outputPath));
  RememberRecentFile(inputPath_->text());
}

bool CDlgFile::MayWriteOutput(const std::string& inputPath) {
  // Only a conversion that can start replaces anything: an input that is no
  // file is reported by the conversion itself.
  const QString output = ToQtPath(OutputPathFor(inputPath));
  if (!QFileInfo(ToQtPath(inputPath)).isFile() || !QFileInfo::exists(output)) return true;
  return question_(this, QStringLiteral("文件 %1 已存在，是否覆盖？").arg(output));
}

void CDlgFile::RefreshPreview() {
  const CoordSettings& settings = CoordSettings::instance();
  const std::array<QString, 3> names = CoordinateValueNames(settings.sourceType, settings.sourceHeight);
  preview_->setHorizontalHeaderLabels(
      {QStringLiteral("行"), QStringLiteral("点名"), names[0], names[1], names[2], QStringLiteral("说明")});
  preview_->clearSpans();
  preview_->setRowCount(0);
  const QString path = inputPath_->text();
  StartFileCheck(path);
  if (path.isEmpty()) return;
  const std::optional<std::vector<PreviewRow>> rows =
      PreviewCoordinateFile(settings, ToStdPath(path), kPreviewLineCount);
  if (!rows) {
    preview_->setRowCount(1);
    ShowPreviewReason(0, QStringLiteral("坐标文件无法读取。"));
    return;
  }
  preview_->setRowCount(static_cast<int>(rows->size()));
  for (int row = 0; row < preview_->rowCount(); ++row) {
    const PreviewRow& line = (*rows)[static_cast<std::size_t>(row)];
    preview_->setItem(row, kLineColumn, PreviewItem(QString::number(line.lineNumber)));
    preview_->setItem(row, kNameColumn, PreviewItem(ToQt(line.name)));
    if (!line.refusal.empty()) {
      ShowPreviewReason(row, ToQt(line.refusal));
      continue;
    }
    for (int value = 0; value < 3; ++value) {
      preview_->setItem(row, kFirstValueColumn + value, PreviewItem(ValueText(line.values[static_cast<std::size_t>(value)])));
    }
  }
}

// The reason takes the place of the values, where it is in view however
// narrow the window.
void CDlgFile::ShowPreviewReason(int row, const QString& text) {
  QTableWidgetItem* reason = PreviewItem(text);
  reason->setForeground(Qt::red);
  preview_->setItem(row, kFirstValueColumn, reason);
  preview_->setSpan(row, kFirstValueColumn, 1, kReasonColumn - kFirstValueColumn + 1);
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
  if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CDlgFile::dropEvent(QDropEvent* event) {
  const QString path = DroppedFile(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  setInputPath(path);
  RememberRecentFile(path);
}

void CDlgFile::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  RefreshPreview();
}

BatchResult CDlgFile::ConvertOnWorker(const std::string& inputPath) {
  std::atomic<bool> cancel{false};
  std::atomic<std::uint64_t> bytesDone{0};
  std::atomic<std::uint64_t> bytesTotal{0};
  BatchOptions options;
  options.cancel = &cancel;
  options.onProgress = [&](const BatchProgress& progress) {
    bytesDone = progress.bytesDone;
    bytesTotal = progress.bytesTotal;
  };

  // The worker converts with the settings of this moment, whatever the
  // window does meanwhile.
  const CoordSettings settings = CoordSettings::instance();
  BatchResult result;
  std::unique_ptr<QThread> worker(
      QThread::create([&] { result = ConvertCoordinateFile(settings, inputPath, options); }));
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
    });
    poll.start(kProgressPoll);
    progress.show();
    waiting.exec();
    // After Cancel the worker stops at the end of its current block.
    if (!finished) waiting.exec(QEventLoop::ExcludeUserInputEvents);
  }
  worker->wait();
  return result;
}

}  // namespace tarnwell
