// The About box: program icon, name and version, publisher, web address and
// where the help document lies.
#pragma once

#include <QDialog>

namespace tarnwell {

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace tarnwell
