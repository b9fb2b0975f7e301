// What the tests of the desktop application share: a recorder for the core's
// messages, a way to deal with the modal dialogs a command opens, and lookup
// of controls by object name.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <mutex>
#include <source_location>
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

// Once a modal window that `matches` is active, runs `action` on it, once;
// the action must close it. Polls from the event loop, so it also works while
// the window runs its own exec(). Watches for its whole life until it has
// acted, then until the window it acted on has closed. A window still open
// ten seconds after the action is rejected (closed) and the test fails at
// `where`, the line that set up the watch: a modal that ignores its action
// ends the test instead of hanging it.
using ModalMatcher = std::function<bool(QWidget*)>;
using ModalAction = std::function<void(QWidget*)>;
class ModalWatch : public QObject {
  Q_OBJECT

 public:
  ModalWatch(ModalMatcher matches, ModalAction action, std::source_location where);

  bool fired() const { return fired_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Poll();
  void CloseStuckModal();

  ModalMatcher matches_;
  ModalAction action_;
  std::source_location where_;
  QTimer poll_;
  QTimer giveUp_;                // runs from the action until the window closes
  QPointer<QWidget> actedOn_;
  bool fired_ = false;
};

std::unique_ptr<ModalWatch> WhenModal(ModalMatcher matches, ModalAction action,
                                      std::source_location where = std::source_location::current());

// For a modal window named `objectName`.
std::unique_ptr<ModalWatch> WhenModal(const QString& objectName, ModalAction action,
                                      std::source_location where = std::source_location::current());

// Closes the modal dialog named `objectName` with OK or with Cancel.
std::unique_ptr<ModalWatch> AcceptModal(const QString& objectName,
                                        std::source_location where = std::source_location::current());
std::unique_ptr<ModalWatch> RejectModal(const QString& objectName,
                                        std::source_location where = std::source_location::current());

// What a file-open dialog showed as it opened.
struct FileDialogLook {
  bool opened = false;
  QWidget* parent = nullptr;
  QString title;
  QStringList filters;
  QString selectedFilter;
  QString directory;  // absolute
  QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
  QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptSave;
};

// Runs `open`, which should bring up a file-open dialog, and cancels that
// dialog at once; nothing is typed or chosen in it.
FileDialogLook CancelFileDialog(const std::function<void()>& open,
                                std::source_location where = std::source_location::current());

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

// A list's entry by its name: the name an entry stands for (the ellipsoid
// lists show "name — description"), else its text.
int EntryIndex(const QComboBox* list, const QString& name);
QString CurrentEntryName(const QComboBox* list);
// Chooses the entry named `name` as a user does (activated).
void ChooseEntry(QComboBox* list, const QString& name);

// Writes `bytes` to a new file at `path`.
void WriteFile(const QString& path, const std::string& bytes);
std::string ReadFile(const QString& path);

}  // namespace tarnwell::test
