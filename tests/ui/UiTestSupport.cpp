#include "UiTestSupport.h"

#include <QDialog>
#include <QEvent>
#include <QFile>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include "tables/TablePaths.h"

namespace tarnwell::test {
namespace {

constexpr int kGiveUpMs = 10000;
constexpr int kPollMs = 10;

// No test reads or writes the user's own configuration (the settings, the
// user's ellipsoids): Qt's test location stands in for it from the start.
void UseTestConfiguration() { QStandardPaths::setTestModeEnabled(true); }
Q_COREAPP_STARTUP_FUNCTION(UseTestConfiguration)

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

ModalWatch::ModalWatch(ModalMatcher matches, ModalAction action, std::source_location where)
    : matches_(std::move(matches)), action_(std::move(action)), where_(where) {
  connect(&poll_, &QTimer::timeout, this, &ModalWatch::Poll);
  giveUp_.setSingleShot(true);
  connect(&giveUp_, &QTimer::timeout, this, &ModalWatch::CloseStuckModal);
  poll_.start(kPollMs);
}

void ModalWatch::Poll() {
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal || !modal->isVisible() || !matches_(modal)) return;
  poll_.stop();
  fired_ = true;
  actedOn_ = modal;
  action_(modal);
  // Closing is seen as the window's Hide event, not by polling: the same
  // dialog object may be opened again before the next poll.
  if (actedOn_ && actedOn_->isVisible()) {
    actedOn_->installEventFilter(this);
    giveUp_.start(kGiveUpMs);
  }
}

bool ModalWatch::eventFilter(QObject* watched, QEvent* event) {
  if (watched == actedOn_ && event->type() == QEvent::Hide) {
    giveUp_.stop();
    actedOn_->removeEventFilter(this);
  }
  return false;
}

void ModalWatch::CloseStuckModal() {
  if (!actedOn_) return;  // destroyed: closed after all
  actedOn_->removeEventFilter(this);
  const QString failure = QStringLiteral("the modal window %1 \"%2\" was still open %3 s after the test acted on it; "
                                         "it has been rejected")
                              .arg(actedOn_->metaObject()->className(), actedOn_->objectName())
                              .arg(kGiveUpMs / 1000);
  if (auto* dialog = qobject_cast<QDialog*>(actedOn_)) {
    dialog->reject();
  } else {
    actedOn_->close();
  }
  QTest::qFail(qPrintable(failure), where_.file_name(), static_cast<int>(where_.line()));
}

std::unique_ptr<ModalWatch> WhenModal(ModalMatcher matches, ModalAction action, std::source_location where) {
  return std::make_unique<ModalWatch>(std::move(matches), std::move(action), where);
}

std::unique_ptr<ModalWatch> WhenModal(const QString& objectName, ModalAction action, std::source_location where) {
  return WhenModal([objectName](QWidget* modal) { return modal->objectName() == objectName; }, std::move(action),
                   where);
}

std::unique_ptr<ModalWatch> AcceptModal(const QString& objectName, std::source_location where) {
  return WhenModal(objectName, [](QWidget* modal) { qobject_cast<QDialog*>(modal)->accept(); }, where);
}

std::unique_ptr<ModalWatch> RejectModal(const QString& objectName, std::source_location where) {
  return WhenModal(objectName, [](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); }, where);
}

FileDialogLook CancelFileDialog(const std::function<void()>& open, std::source_location where) {
  FileDialogLook look;
  auto watch = WhenModal([](QWidget* modal) { return qobject_cast<QFileDialog*>(modal) != nullptr; },
                         [&look](QWidget* modal) {
                           auto* dialog = qobject_cast<QFileDialog*>(modal);
                           look.parent = dialog->parentWidget();
                           look.title = dialog->windowTitle();
                           look.filters = dialog->nameFilters();
                           look.selectedFilter = dialog->selectedNameFilter();
                           look.directory = dialog->directory().absolutePath();
                           look.fileMode = dialog->fileMode();
                           look.acceptMode = dialog->acceptMode();
                           dialog->reject();
                         },
                         where);
  open();
  look.opened = watch->fired();
  return look;
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

int EntryIndex(const QComboBox* list, const QString& name) {
  const int byName = list->findData(name);
  return byName >= 0 ? byName : list->findText(name);
}

QString CurrentEntryName(const QComboBox* list) {
  const QVariant name = list->currentData();
  return name.isValid() ? name.toString() : list->currentText();
}

void ChooseEntry(QComboBox* list, const QString& name) {
  list->setCurrentIndex(EntryIndex(list, name));
  emit list->activated(list->currentIndex());
}

}  // namespace tarnwell::test
