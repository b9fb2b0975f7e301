// The help window: the shipped HTML manual (ui/Manual.h) in a text browser,
// with its contents beside it and a search box above. F1 opens it at the
// section of the page or dialog in use; no outside browser is involved.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QTextBrowser;
class QTreeWidget;

namespace tarnwell {

class CHelpDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CHelpDlg(QWidget* parent = nullptr);

  // Shows the manual at the heading whose id is `section`, as a window of
  // `owner`: over a modal dialog, the help window must belong to it to take
  // input. False, showing nothing, when the manual is not installed.
  bool ShowSection(const QString& section, QWidget* owner);

  // The id of the section last shown.
  const QString& currentSection() const { return currentSection_; }

  // Finds the search box's text after the cursor, from the top again when
  // it is not found below.
  void OnSearch();

 private:
  // Fills the contents from the manual's headings (h2, h3 with an id).
  void LoadContents(const QString& manualText);

  QTreeWidget* contents_ = nullptr;
  QLineEdit* search_ = nullptr;
  QLabel* searchStatus_ = nullptr;
  QTextBrowser* browser_ = nullptr;
  QString manualPath_;
  QString currentSection_;
};

}  // namespace tarnwell
