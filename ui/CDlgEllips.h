// The ellipsoid management dialog: a viewer of the ellipsoid catalogue. The
// names are listed in the program's list order; the selected one's name,
// semi-major axis, inverse flattening and description are shown, read-only.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QLineEdit;
class QListWidget;

namespace tarnwell {

class CDlgEllips : public QDialog {
  Q_OBJECT

 public:
  explicit CDlgEllips(QWidget* parent = nullptr);

  void OnInitDialog();
  void OnSelectionChange();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QListWidget* ellipsoidList_ = nullptr;
  std::vector<std::string> listTexts_;  // the list's names, in list order
  QLineEdit* name_ = nullptr;
  QLineEdit* semiMajorAxis_ = nullptr;
  QLineEdit* inverseFlattening_ = nullptr;
  QLineEdit* description_ = nullptr;
};

}  // namespace tarnwell
