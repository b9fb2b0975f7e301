// The About box: program icon, name and version, publisher, and how to open
// the user manual.
#pragma once

#include <QDialog>

namespace tarnwell {

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace tarnwell
