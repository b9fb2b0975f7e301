// The datum transformation parameters dialog: shows and edits the seven
// Bursa-Wolf parameters of CoordSettings. Every opening reads them afresh;
// OK stores what the boxes say, Cancel changes nothing.
#pragma once

#include <QDialog>
#include <array>

class QComboBox;
class QLineEdit;

namespace tarnwell {

class CDlgDatumTrans : public QDialog {
  Q_OBJECT

 public:
  explicit CDlgDatumTrans(QWidget* parent = nullptr);

  void OnInitDialog();
  void accept() override;  // OK

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QComboBox* modelList_ = nullptr;
  // dX, dY, dZ, rX, rY, rZ, scalePpm: the order of SevenParams.
  std::array<QLineEdit*, 7> parameterEdits_{};
};

}  // namespace tarnwell
