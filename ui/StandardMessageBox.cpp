#include "ui/StandardMessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include "engine/Messages.h"
#include "ui/QtText.h"

namespace tarnwell {
namespace {

void ShowOnThisThread(const QString& text) {
  QWidget* owner = QApplication::activeModalWidget();
  if (!owner) owner = QApplication::activeWindow();
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Tarnwell"), text, QMessageBox::Ok, owner);
  box.setObjectName(QStringLiteral("standardMessageBox"));
  // Named here: Qt's own translation of "OK" is not installed everywhere.
  box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
  box.exec();
}

}  // namespace

void ShowStandardMessageBox(const QString& text) {
  QCoreApplication* application = QCoreApplication::instance();
  if (QThread::currentThread() == application->thread()) {
    ShowOnThisThread(text);
    return;
  }
  QMetaObject::invokeMethod(application, [text] { ShowOnThisThread(text); }, Qt::BlockingQueuedConnection);
}

void InstallStandardMessageBox() {
  SetMessageHandler([](const std::string& text) { ShowStandardMessageBox(ToQt(text)); });
}

bool AskStandardQuestion(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Tarnwell"), text, QMessageBox::NoButton, parent);
  box.setObjectName(QStringLiteral("standardQuestionBox"));
  QPushButton* yes = box.addButton(QStringLiteral("是"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("否"), QMessageBox::NoRole);
  box.setDefaultButton(no);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes;
}

}  // namespace tarnwell
