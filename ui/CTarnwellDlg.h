// The main window: the conversion choices above (source and target
// coordinate type, the seven- and four-parameter switches, angle formats,
// ellipsoids) and the pages below, with the menu and the keyboard commands.
// Every choice goes into CoordSettings at once. The window owns every page and settings
// dialog, each made once and reused.
#pragma once

#include <QDialog>
#include <QSet>
#include <array>

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QRadioButton;
class QTabWidget;

namespace tarnwell {

class CAboutDlg;
class CDlgDatumTrans;
class CDlgEllips;
class CDlgFParas;
class CDlgFile;
class CDlgPoint;
class CDlgProjTrans;
class CDlgSParas;
class CDlgTParas;

class CTarnwellDlg : public QDialog {
  Q_OBJECT

 public:
  // The commands of the menu and of the keyboard.
  enum Command : int {
    kExit = 57602,
    kProjectionSettings = 32789,
    kDatumSettings = 32790,
    kEllipsoids = 32820,
    kAbout = 32799,
  };

  explicit CTarnwellDlg(QWidget* parent = nullptr);

  void OnSourceSpace();
  void OnSourceLB();
  void OnSourcePlan();
  void OnTargetSpace();
  void OnTargetLB();
  void OnTargetPlan();
  void OnSevenParams();
  void OnFourParams();
  void OnSourceAngleFormat();
  void OnTargetAngleFormat();
  void OnSourceEllipsoid();
  void OnTargetEllipsoid();
  void OnTabChange(int tab);
  // Runs a menu or keyboard command; a command without a handler does nothing.
  void OnCommand(int command);

  CDlgPoint* pointPage() const { return pointPage_; }
  CDlgFile* filePage() const { return filePage_; }
  CDlgTParas* threeParameterPage() const { return threeParameterPage_; }
  CDlgSParas* sevenParameterPage() const { return sevenParameterPage_; }
  CDlgFParas* fourParameterPage() const { return fourParameterPage_; }
  CDlgDatumTrans* datumDialog() const { return datumDialog_; }
  CDlgProjTrans* projectionDialog() const { return projectionDialog_; }
  CDlgEllips* ellipsoidDialog() const { return ellipsoidDialog_; }
  CAboutDlg* aboutDialog() const { return aboutDialog_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  enum Type { kSpace, kLB, kPlan };

  QWidget* MakeChoices();
  void MakeMenu();
  void MakePages();
  void OnInitDialog();
  void ChooseSource(Type source, std::array<bool, 3> targetsAllowed, Type defaultTarget);
  void ChooseTarget(Type type);
  // The keyboard command table and Enter / Escape, for keys aimed at the
  // window's own controls; true when the key was used.
  bool HandleWindowKey(const QKeyEvent* event);

  std::array<QRadioButton*, 3> sourceRadios_{};  // by Type
  std::array<QRadioButton*, 3> targetRadios_{};
  QCheckBox* sevenParams_ = nullptr;
  QCheckBox* fourParams_ = nullptr;
  QComboBox* sourceAngleFormat_ = nullptr;
  QComboBox* targetAngleFormat_ = nullptr;
  QComboBox* sourceEllipsoid_ = nullptr;
  QComboBox* targetEllipsoid_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QSet<QObject*> windowControls_;  // the controls the keyboard table serves

  CDlgPoint* pointPage_ = nullptr;
  CDlgFile* filePage_ = nullptr;
  CDlgTParas* threeParameterPage_ = nullptr;
  CDlgSParas* sevenParameterPage_ = nullptr;
  CDlgFParas* fourParameterPage_ = nullptr;
  CDlgDatumTrans* datumDialog_ = nullptr;
  CDlgProjTrans* projectionDialog_ = nullptr;
  CDlgEllips* ellipsoidDialog_ = nullptr;
  CAboutDlg* aboutDialog_ = nullptr;
};

}  // namespace tarnwell
