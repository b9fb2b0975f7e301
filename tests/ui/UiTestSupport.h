// What the tests of the desktop application share: a recorder for the core's
// messages, a way to deal with the modal dialogs a command opens, and lookup
// of controls by object name.
#pragma once

#include <QApplication>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "engine/CoordSettings.h"
#include "engine/Messages.h"
#include "ui/CTarnwellDlg.h"

namespace tarnwell::test {

// Records every message instead of showing it, from any thread (the batch
// conversion reports from its worker); puts the previous handler back on
// destruction.
class MessageRecorder {
 public:
  MessageRecorder();
  ~MessageRecorder();
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  QStringList messages() const;
  void clear();

 private:
  mutable std::mutex mutex_;
  QStringList messages_;
  MessageHandler previous_;
};

// Starts a test from the given settings, with the tables beside the program.
struct FreshSettings {
  explicit FreshSettings(const CoordSettings& settings);
};

// The main window, shown over fresh settings, with the core's messages
// recorded: where most tests of the application start.
struct RunningWindow : private FreshSettings {
  explicit RunningWindow(const CoordSettings& settings = {});
  MessageRecorder recorder;
  CTarnwellDlg window;
};

// Once a modal window that `matches` is active, runs `action` on it (which
// must close it). Polls from the event loop, so it also works while the
// window runs its own exec(). Watches until it has acted, until ten seconds
// have passed, or until it is destroyed.
using ModalMatcher = std::function<bool(QWidget*)>;
class ModalWatch {
 public:
  ModalWatch(ModalMatcher matches, std::function<void(QWidget*)> action);
  ~ModalWatch();
  ModalWatch(const ModalWatch&) = delete;
  ModalWatch& operator=(const ModalWatch&) = delete;

  bool fired() const { return *fired_; }

 private:
  std::shared_ptr<bool> fired_ = std::make_shared<bool>(false);
  QTimer* timer_;
};

std::unique_ptr<ModalWatch> WhenModal(ModalMatcher matches, std::function<void(QWidget*)> action);

// For a modal window named `objectName`.
std::unique_ptr<ModalWatch> WhenModal(const QString& objectName, std::function<void(QWidget*)> action);

// Closes the modal dialog named `objectName` with OK or with Cancel.
std::unique_ptr<ModalWatch> AcceptModal(const QString& objectName);
std::unique_ptr<ModalWatch> RejectModal(const QString& objectName);

// Processes events until `done` or ten seconds have passed.
bool WaitFor(const std::function<bool()>& done);

// The child of `parent` named `name`; the test aborts with the name when
// there is none.
template <typename T>
T* Child(const QObject* parent, const QString& name) {
  T* child = parent->findChild<T*>(name);
  if (!child) qFatal("no child named %s", qPrintable(name));
  return child;
}

// Writes `bytes` to a new file at `path`.
void WriteFile(const QString& path, const std::string& bytes);
std::string ReadFile(const QString& path);

}  // namespace tarnwell::test
