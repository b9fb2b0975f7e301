// The file-format chooser: which of the three coordinate file layouts the
// input file has. OK stores the choice in CoordSettings; every opening starts
// on the format in force.
#pragma once

#include <QDialog>

class QListWidget;

namespace tarnwell {

class CDlgFileFt : public QDialog {
  Q_OBJECT

 public:
  explicit CDlgFileFt(QWidget* parent = nullptr);

  void OnInitDialog();
  void accept() override;  // OK

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QListWidget* formatList_ = nullptr;
};

}  // namespace tarnwell
