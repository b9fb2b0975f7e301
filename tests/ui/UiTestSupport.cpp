#include "UiTestSupport.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTimer>

#include "tables/TablePaths.h"

namespace tarnwell::test {
namespace {

constexpr int kGiveUpMs = 10000;
constexpr int kPollMs = 10;

}  // namespace

MessageRecorder::MessageRecorder() {
  previous_ = SetMessageHandler([this](const std::string& text) {
    std::lock_guard lock(mutex_);
    messages_ << QString::fromStdString(text);
  });
}

MessageRecorder::~MessageRecorder() { SetMessageHandler(previous_); }

QStringList MessageRecorder::messages() const {
  std::lock_guard lock(mutex_);
  return messages_;
}

void MessageRecorder::clear() {
  std::lock_guard lock(mutex_);
  messages_.clear();
}

FreshSettings::FreshSettings(const CoordSettings& settings) {
  CoordSettings::instance() = settings;
  SetTableDirectory("");
}

RunningWindow::RunningWindow(const CoordSettings& settings) : FreshSettings(settings) { window.show(); }

ModalWatch::ModalWatch(ModalMatcher matches, std::function<void(QWidget*)> action) : timer_(new QTimer) {
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  QTimer* timer = timer_;
  std::shared_ptr<bool> fired = fired_;
  QObject::connect(timer, &QTimer::timeout, [=] {
    QWidget* modal = QApplication::activeModalWidget();
    const bool found = modal && modal->isVisible() && matches(modal);
    if (!found && clock->elapsed() < kGiveUpMs) return;
    timer->stop();
    if (found) {
      *fired = true;
      action(modal);
    }
  });
  timer->start(kPollMs);
}

ModalWatch::~ModalWatch() {
  timer_->stop();
  timer_->deleteLater();
}

std::unique_ptr<ModalWatch> WhenModal(ModalMatcher matches, std::function<void(QWidget*)> action) {
  return std::make_unique<ModalWatch>(std::move(matches), std::move(action));
}

std::unique_ptr<ModalWatch> WhenModal(const QString& objectName, std::function<void(QWidget*)> action) {
  return std::make_unique<ModalWatch>([objectName](QWidget* modal) { return modal->objectName() == objectName; },
                                      std::move(action));
}

std::unique_ptr<ModalWatch> AcceptModal(const QString& objectName) {
  return WhenModal(objectName, [](QWidget* modal) { qobject_cast<QDialog*>(modal)->accept(); });
}

std::unique_ptr<ModalWatch> RejectModal(const QString& objectName) {
  return WhenModal(objectName, [](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
}

bool WaitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, kGiveUpMs); }

void WriteFile(const QString& path, const std::string& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write %s", qPrintable(path));
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll().toStdString();
}

}  // namespace tarnwell::test
