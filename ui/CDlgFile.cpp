#include "ui/CDlgFile.h"

#include <QEventLoop>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <memory>

#include "engine/Messages.h"
#include "ui/CDlgFileFt.h"
#include "ui/QtText.h"

namespace tarnwell {
namespace {

constexpr int kProgressSteps = 1000;
constexpr std::chrono::milliseconds kProgressPoll{100};

QPlainTextEdit* MakePathBox(const QString& objectName) {
  auto* box = new QPlainTextEdit;
  box->setObjectName(objectName);
  box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  box->setWordWrapMode(QTextOption::WrapAnywhere);
  box->setTabChangesFocus(true);
  return box;
}

QPushButton* MakeButton(const QString& text, const QString& objectName) {
  auto* button = new QPushButton(text);
  button->setObjectName(objectName);
  return button;
}

}  // namespace

CDlgFile::CDlgFile(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("filePage"));
  inputPath_ = MakePathBox(QStringLiteral("inputPath"));
  outputPath_ = MakePathBox(QStringLiteral("outputPath"));
  // Shows where the last conversion wrote; the page never reads it.
  outputPath_->setReadOnly(true);
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

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(inputPath_, 1);
  layout->addWidget(outputPath_, 1);
  layout->addLayout(buttons);
}

void CDlgFile::OnFormat() { formatDialog_->exec(); }

void CDlgFile::OnBrowse() {
  const QString path = chooseFile_(this);
  if (!path.isEmpty()) inputPath_->setPlainText(path);
}

void CDlgFile::OnConvert() {
  const std::string inputPath = ToStdPath(inputPath_->toPlainText());
  // An empty box stops without a word, but only once the file format has
  // been found to fit the source type (the conversion checks that first).
  if (inputPath.empty() && CheckFileFormat(CoordSettings::instance())) return;
  const BatchResult result = ConvertOnWorker(inputPath);
  if (result.outcome == BatchOutcome::Converted) outputPath_->setPlainText(ToQtPath(result.outputPath));
  if (result.outcome == BatchOutcome::Cancelled) ShowMessage("转换已取消。");
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
