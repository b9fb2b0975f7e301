#include "ui/CTarnwellApp.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

#include "ui/CTarnwellDlg.h"
#include "ui/ProgramIcon.h"
#include "ui/SettingsStore.h"
#include "ui/StandardMessageBox.h"

namespace tarnwell {
namespace {

// Whether an X server accepts connections for the local display `number`,
// on its abstract or on its file-system socket.
bool LocalXServerListening(const std::string& number) {
  const std::string path = "/tmp/.X11-unix/X" + number;
  for (const std::size_t offset : {std::size_t{1}, std::size_t{0}}) {  // abstract first
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (offset + path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path + offset, path.data(), path.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
    const int endpoint = socket(AF_UNIX, SOCK_STREAM, 0);
    if (endpoint < 0) return false;
    const bool listening = connect(endpoint, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    close(endpoint);
    if (listening) return true;
  }
  return false;
}

}  // namespace

bool CTarnwellApp::DisplayAvailable() {
  // A platform chosen by the user (offscreen, vnc, ...) is taken as given.
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return true;
  if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) return true;
  const QString display = qEnvironmentVariable("DISPLAY");
  if (display.isEmpty()) return false;
  // A local X display (":N" or "unix:N") must have its server listening; a
  // remote one is left to Qt.
  const QString host = display.section(QLatin1Char(':'), 0, 0);
  if (!host.isEmpty() && host != QLatin1String("unix")) return true;
  const QString number = display.section(QLatin1Char(':'), 1).section(QLatin1Char('.'), 0, 0);
  return LocalXServerListening(number.toStdString());
}

void CTarnwellApp::InitInstance() {
  QApplication::setOrganizationName(QStringLiteral("Tarnwell"));
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

  SettingsStore store;
  CTarnwellDlg window(&store);
  window.exec();
  return 0;
}

}  // namespace tarnwell
