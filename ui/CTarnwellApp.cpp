#include "ui/CTarnwellApp.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>

#include "ui/CTarnwellDlg.h"
#include "ui/ProgramIcon.h"
#include "ui/StandardMessageBox.h"

namespace tarnwell {

bool CTarnwellApp::DisplayAvailable() {
  // A platform chosen by the user (offscreen, vnc, ...) is taken as given.
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return true;
  if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) return true;
  const QString display = qEnvironmentVariable("DISPLAY");
  if (display.isEmpty()) return false;
  // A local X display ":N" has its socket; a remote one is left to Qt.
  if (display.startsWith(QLatin1Char(':'))) {
    const QString number = display.mid(1).section(QLatin1Char('.'), 0, 0);
    return QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X") + number);
  }
  return true;
}

void CTarnwellApp::InitInstance() {
  QApplication::setApplicationName(QStringLiteral("Tarnwell"));
  QApplication::setApplicationVersion(QStringLiteral(TARNWELL_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("tarnwell"));
  QApplication::setWindowIcon(ProgramIcon());
  InstallStandardMessageBox();
}

int CTarnwellApp::Run(int argc, char* argv[]) {
  if (!DisplayAvailable()) {
    std::fputs("tarnwell: 没有可用的图形显示（DISPLAY 未设置或不可用）；请用命令行工具 tarnwell-cli 转换坐标。\n", stderr);
    return 1;
  }
  QApplication application(argc, argv);
  // The standard dialogs (file dialog, message box buttons) in Chinese.
  QTranslator qtTranslator;
  if (qtTranslator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTranslator);
  }
  InitInstance();

  CTarnwellDlg window;
  window.exec();
  return 0;
}

}  // namespace tarnwell
