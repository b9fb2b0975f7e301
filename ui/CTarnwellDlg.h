// The main window: the conversion choices above (source and target
// coordinate type, the seven- and four-parameter switches, angle formats,
// ellipsoids) and the pages below, with the menu, its Ctrl keys and F1 help.
// Every choice goes into CoordSettings at once. The window owns every page and settings
// dialog, each made once and reused.
//
// Given a settings store, the window starts from the choices remembered there
// and remembers them again when it closes. Leaving the program while there is
// work that would be lost asks first.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <functional>

#include "engine/CoordSettings.h"
#include "ui/FileDialogs.h"

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QMenu;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace tarnwell {

class CAboutDlg;
class CDlgDatumTrans;
class CDlgEllips;
class CDlgFParas;
class CDlgHeightFit;
class CDlgFile;
class CDlgPoint;
class CDlgProjTrans;
class CDlgSParas;
class CDlgTParas;
class CHelpDlg;
class SettingsStore;

class CTarnwellDlg : public QDialog {
  Q_OBJECT

 public:
  // The commands of the menu (with their Ctrl keys).
  enum Command : int {
    kExit = 57602,
    kProjectionSettings = 32789,
    kDatumSettings = 32790,
    kEllipsoids = 32820,
    kAbout = 32799,
    kResetSettings = 32830,
    kManual = 57670,
    kSaveParameters = 32840,
    kOpenParameters = 32841,
  };

  // Asks a yes/no question over `parent`; true for yes.
  using Question = std::function<bool(QWidget* parent, const QString& text)>;

  // `store`, when given, must outlive the window.
  explicit CTarnwellDlg(SettingsStore* store = nullptr, QWidget* parent = nullptr);
  ~CTarnwellDlg() override;

  // The question before leaving with unsaved work and before a reset (the
  // standard question box unless set).
  void setQuestion(Question question) { question_ = std::move(question); }

  // How 保存参数 and 打开参数 ask for the parameter file (file dialogs unless
  // set): the chosen path, or empty for none.
  void setParameterFileChoosers(FileChooser chooseSave, FileChooser chooseOpen) {
    chooseParameterFileToSave_ = std::move(chooseSave);
    chooseParameterFileToOpen_ = std::move(chooseOpen);
  }

  // Work that leaving would lose: common points imported, or seven or four
  // parameters or a height fit computed (or typed), and not saved to a
  // parameter file since. Saving or opening a parameter file clears it.
  bool HasUnsavedWork() const;

  void OnSevenParams();
  void OnFourParams();
  void OnSourceAngleFormat();
  void OnTargetAngleFormat();
  void OnHeightSystem(bool target);
  void OnSourceEllipsoid();
  void OnTargetEllipsoid();
  void OnTabChange(int tab);
  // Forgets every remembered setting and shows the defaults (after asking).
  void OnResetSettings();
  // Opens the help window at the section of the page shown.
  void OnManual();
  // Saves the parameters in force to a parameter file the user chooses.
  void OnSaveParameters();
  // Opens a parameter file and shows its parameters; a refused file changes
  // nothing.
  void OnOpenParameters();
  // Runs a menu command; a command without a handler does nothing.
  void OnCommand(int command);

  CDlgPoint* pointPage() const { return pointPage_; }
  CDlgFile* filePage() const { return filePage_; }
  CDlgTParas* threeParameterPage() const { return threeParameterPage_; }
  CDlgSParas* sevenParameterPage() const { return sevenParameterPage_; }
  CDlgFParas* fourParameterPage() const { return fourParameterPage_; }
  CDlgHeightFit* heightFitPage() const { return heightFitPage_; }
  CDlgDatumTrans* datumDialog() const { return datumDialog_; }
  CDlgProjTrans* projectionDialog() const { return projectionDialog_; }
  CDlgEllips* ellipsoidDialog() const { return ellipsoidDialog_; }
  CAboutDlg* aboutDialog() const { return aboutDialog_; }
  CHelpDlg* helpWindow() const { return helpWindow_; }

  // Every way out of the window ends here: asks first when there is unsaved
  // work, then remembers the settings.
  void done(int result) override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QWidget* MakeChoices();
  // A box for the decimals `decimals` of CoordSettings.
  QSpinBox* MakeDecimalsBox(const QString& objectName, int CoordSettings::*decimals);
  void MakeMenu();
  void MakePages();
  // Adds a page whose help is the manual's section `section`.
  void AddPage(QWidget* page, const QString& title, const QString& section);
  // F1 in `dialog` opens the help window at `section`, over the dialog.
  void HelpOnF1(QDialog* dialog, const QString& section);
  void ShowHelp(const QString& section, QWidget* owner);
  void OnInitDialog();
  // The controls set from CoordSettings as it stands.
  void ShowSettings();
  // After any change of the settings: no result of other settings stays on
  // the point page, and the file preview reads with the new ones.
  void SettingsChanged();
  // The parameters in force count as saved.
  void MarkSaved();
  // The ellipsoid lists hold the catalogue's names, in catalogue order.
  void FillEllipsoidLists();
  // Selects the ellipsoids of CoordSettings; none in a list without it.
  void SelectEllipsoidsInForce();
  // The page and the window geometry of the last run.
  void RestoreWindow();
  void RememberSettings();
  // A source choice also chooses the source's default target.
  void ChooseSource(CoordinateType source);
  void ChooseTarget(CoordinateType target);

  std::array<QRadioButton*, 3> sourceRadios_{};  // in the order of kCoordinateTypes
  std::array<QRadioButton*, 3> targetRadios_{};
  QCheckBox* sevenParams_ = nullptr;
  QCheckBox* fourParams_ = nullptr;
  QComboBox* sourceAngleFormat_ = nullptr;
  QComboBox* targetAngleFormat_ = nullptr;
  QComboBox* sourceEllipsoid_ = nullptr;
  QComboBox* targetEllipsoid_ = nullptr;
  // The height systems of the source and the target, in the order of
  // kHeightSystems, and the geoid model: a name or a grid file's path.
  std::array<QComboBox*, 2> heightSystems_{};
  QComboBox* geoidModel_ = nullptr;
  QSpinBox* outputDecimals_ = nullptr;
  QSpinBox* angleDecimals_ = nullptr;
  QMenu* recentFilesMenu_ = nullptr;
  QTabWidget* tabs_ = nullptr;

  SettingsStore* store_ = nullptr;
  Question question_;
  FileChooser chooseParameterFileToSave_;
  FileChooser chooseParameterFileToOpen_;
  // The parameters as last saved (or as at the start), to tell those computed
  // since; and whether points were imported since.
  CoordSettings savedParameters_;
  bool pointsImportedSinceSave_ = false;

  CDlgPoint* pointPage_ = nullptr;
  CDlgFile* filePage_ = nullptr;
  CDlgTParas* threeParameterPage_ = nullptr;
  CDlgSParas* sevenParameterPage_ = nullptr;
  CDlgFParas* fourParameterPage_ = nullptr;
  CDlgHeightFit* heightFitPage_ = nullptr;
  CDlgDatumTrans* datumDialog_ = nullptr;
  CDlgProjTrans* projectionDialog_ = nullptr;
  CDlgEllips* ellipsoidDialog_ = nullptr;
  CAboutDlg* aboutDialog_ = nullptr;
  CHelpDlg* helpWindow_ = nullptr;
};

}  // namespace tarnwell
