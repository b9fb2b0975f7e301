// The layout editor of coordinate files: a preset (the three fixed layouts,
// CASS .dat) or columns of one's own, the separator, the header lines and
// the layout of the output, with a preview of the input file's first lines
// in the layout being edited. OK stores the layout in CoordSettings (the
// fields the command line's --layout, --columns, --separator, --header and
// --output-layout set); every opening starts on the layout in force.
#pragma once

#include <QDialog>
#include <QString>

#include "engine/CoordSettings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace tarnwell {

class FilePreviewTable;

class CDlgFileFt : public QDialog {
  Q_OBJECT

 public:
  // The rows of the preset list after the three fixed layouts.
  static constexpr int kCassRow = 3;
  static constexpr int kOwnColumnsRow = 4;

  explicit CDlgFileFt(QWidget* parent = nullptr);

  void OnInitDialog();
  void accept() override;  // OK

  // The file the preview shows (the file page's input); empty for none.
  void setPreviewPath(const QString& path) { previewPath_ = path; }

  // The settings in force with the layout as edited.
  CoordSettings EditedSettings() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void OnPresetChanged();
  void OnLayoutEdited();

  QListWidget* formatList_ = nullptr;
  QLineEdit* columns_ = nullptr;
  QComboBox* separator_ = nullptr;
  QSpinBox* headerLines_ = nullptr;
  QCheckBox* automaticHeader_ = nullptr;
  QComboBox* outputLayout_ = nullptr;
  QLabel* columnsCheck_ = nullptr;
  FilePreviewTable* preview_ = nullptr;
  QString previewPath_;
};

}  // namespace tarnwell
