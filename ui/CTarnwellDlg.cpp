#include "ui/CTarnwellDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <string_view>
#include <tuple>

#include "batch/ParameterFile.h"
#include "engine/CoordSettings.h"
#include "engine/GeoidModel.h"
#include "engine/Messages.h"
#include "tables/EllipsoidCatalogue.h"
#include "tables/FixedDecimalText.h"
#include "ui/CAboutDlg.h"
#include "ui/CDlgDatumTrans.h"
#include "ui/CDlgEllips.h"
#include "ui/CDlgFileFt.h"
#include "ui/CDlgFParas.h"
#include "ui/CDlgHeightFit.h"
#include "ui/CDlgFile.h"
#include "ui/CDlgPoint.h"
#include "ui/CDlgProjTrans.h"
#include "ui/CDlgSParas.h"
#include "ui/CDlgTParas.h"
#include "ui/CHelpDlg.h"
#include "ui/EntryText.h"
#include "ui/FileDialogs.h"
#include "ui/FormRows.h"
#include "ui/ProgramIcon.h"
#include "ui/QtText.h"
#include "ui/SettingsStore.h"
#include "ui/StandardMessageBox.h"
#include "ui/UserEllipsoidTable.h"

namespace tarnwell {
namespace {

// The radios of a type group stand in the order of kCoordinateTypes.
std::size_t RadioIndex(CoordinateType type) { return static_cast<std::size_t>(type); }

// The target a source choice checks with it.
CoordinateType DefaultTarget(CoordinateType source) {
  return source == CoordinateType::LB ? CoordinateType::Space : CoordinateType::LB;
}

const QString kLeaveQuestion =
    QStringLiteral("还有未保存到参数文件的工作（导入的公共点或新计算的转换参数），退出后导入的公共点不再保留。确定要退出吗？");
const QString kResetQuestion = QStringLiteral(
    "恢复默认设置将忘记：\n"
    "· 坐标类型、角度格式、椭球、七参数和四参数开关、输出小数位数和角度小数位数的选择\n"
    "· 投影参数、七参数（基准转换参数）、四参数和高程拟合\n"
    "· 文件格式、最近的文件和上次选择文件的文件夹\n"
    "· 单点转换中输入的坐标\n"
    "· 显示的页面和窗口大小\n"
    "确定要恢复吗？");

// A label for `control` in column `column` of `row`, the control beside it.
void AddLabelled(QGridLayout* grid, int row, int column, const QString& text, QWidget* control) {
  grid->addWidget(LabelFor(text, control), row, column);
  grid->addWidget(control, row, column + 1);
}

// The section of the manual for a page or dialog rides on the widget.
const char* const kHelpSection = "helpSection";

QRadioButton* MakeRadio(const QString& text, const QString& objectName) {
  auto* radio = new QRadioButton(text);
  radio->setObjectName(objectName);
  return radio;
}

QComboBox* MakeList(const QString& objectName) {
  auto* list = new QComboBox;
  list->setObjectName(objectName);
  return list;
}

// Selects the first entry equal to `text` (exactly, with case); leaves the
// list as it is when there is none.
void SelectEntry(QComboBox* list, std::string_view text) {
  const int index = list->findText(ToQt(std::string(text)), Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index >= 0) list->setCurrentIndex(index);
}

void SelectAngleFormat(QComboBox* list, AngleFormat format) {
  SelectEntry(list, KeywordOf<AngleFormat>(kAngleFormats, format));
}

// The list's entries are the keywords of the angle formats.
void ReadAngleFormat(const QComboBox* list, AngleFormat& format) {
  ReadKeyword<AngleFormat>(kAngleFormats, ToStd(list->currentText()), format);
}

}  // namespace

CTarnwellDlg::CTarnwellDlg(SettingsStore* store, QWidget* parent)
    : QDialog(parent),
      store_(store),
      question_(AskStandardQuestion),
      chooseParameterFileToSave_(SaveParameterFile),
      chooseParameterFileToOpen_(OpenParameterFile) {
  KeepFileDialogFolderIn(store_);
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(QStringLiteral("Tarnwell"));
  setWindowIcon(ProgramIcon());
  setWindowFlag(Qt::WindowMinimizeButtonHint);
  setWindowFlag(Qt::WindowMaximizeButtonHint);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(MakeChoices());
  tabs_ = new QTabWidget;
  tabs_->setObjectName(QStringLiteral("pageTabs"));
  tabs_->setTabPosition(QTabWidget::South);
  layout->addWidget(tabs_, 1);
  MakeMenu();
  MakePages();

  OnInitDialog();
}

QWidget* CTarnwellDlg::MakeChoices() {
  sourceRadios_ = {MakeRadio(QStringLiteral("空间直角坐标"), QStringLiteral("sourceSpace")),
                   MakeRadio(QStringLiteral("大地坐标"), QStringLiteral("sourceLB")),
                   MakeRadio(QStringLiteral("平面坐标"), QStringLiteral("sourcePlan"))};
  targetRadios_ = {MakeRadio(QStringLiteral("空间直角坐标"), QStringLiteral("targetSpace")),
                   MakeRadio(QStringLiteral("大地坐标"), QStringLiteral("targetLB")),
                   MakeRadio(QStringLiteral("平面坐标"), QStringLiteral("targetPlan"))};
  auto makeTypeGroup = [](const QString& title, const QString& objectName, const std::array<QRadioButton*, 3>& radios) {
    auto* group = new QGroupBox(title);
    group->setObjectName(objectName);
    auto* row = new QHBoxLayout(group);
    for (QRadioButton* radio : radios) row->addWidget(radio);
    row->addStretch();
    return group;
  };
  QGroupBox* sourceGroup = makeTypeGroup(QStringLiteral("选择源坐标类型"), QStringLiteral("sourceTypeGroup"), sourceRadios_);
  QGroupBox* targetGroup = makeTypeGroup(QStringLiteral("选择目标坐标类型"), QStringLiteral("targetTypeGroup"), targetRadios_);

  for (const Keyword<CoordinateType>& type : kCoordinateTypes) {
    connect(sourceRadios_[RadioIndex(type.value)], &QRadioButton::clicked, this, [this, type] { ChooseSource(type.value); });
    connect(targetRadios_[RadioIndex(type.value)], &QRadioButton::clicked, this, [this, type] { ChooseTarget(type.value); });
  }

  sevenParams_ = new QCheckBox(QStringLiteral("七参数"));
  sevenParams_->setObjectName(QStringLiteral("sevenParams"));
  connect(sevenParams_, &QCheckBox::clicked, this, &CTarnwellDlg::OnSevenParams);
  fourParams_ = new QCheckBox(QStringLiteral("四参数"));
  fourParams_->setObjectName(QStringLiteral("fourParams"));
  connect(fourParams_, &QCheckBox::clicked, this, &CTarnwellDlg::OnFourParams);

  sourceAngleFormat_ = MakeList(QStringLiteral("sourceAngleFormat"));
  targetAngleFormat_ = MakeList(QStringLiteral("targetAngleFormat"));
  for (QComboBox* list : {sourceAngleFormat_, targetAngleFormat_}) {
    for (const Keyword<AngleFormat>& format : kAngleFormats) list->addItem(ToQt(std::string(format.text)));
  }
  sourceEllipsoid_ = MakeList(QStringLiteral("sourceEllipsoid"));
  targetEllipsoid_ = MakeList(QStringLiteral("targetEllipsoid"));
  for (QComboBox* list : {sourceEllipsoid_, targetEllipsoid_}) list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  connect(sourceAngleFormat_, &QComboBox::activated, this, &CTarnwellDlg::OnSourceAngleFormat);
  connect(targetAngleFormat_, &QComboBox::activated, this, &CTarnwellDlg::OnTargetAngleFormat);
  connect(sourceEllipsoid_, &QComboBox::activated, this, &CTarnwellDlg::OnSourceEllipsoid);
  connect(targetEllipsoid_, &QComboBox::activated, this, &CTarnwellDlg::OnTargetEllipsoid);

  for (bool target : {false, true}) {
    QComboBox* list = MakeList(target ? QStringLiteral("targetHeight") : QStringLiteral("sourceHeight"));
    list->addItems({QStringLiteral("大地高"), QStringLiteral("正常高")});
    connect(list, &QComboBox::activated, this, [this, target] { OnHeightSystem(target); });
    heightSystems_[target] = list;
  }
  geoidModel_ = MakeList(QStringLiteral("geoidModel"));
  geoidModel_->setEditable(true);
  geoidModel_->addItems({QString(), ToQt(std::string(kEgm96Name))});
  geoidModel_->setToolTip(QStringLiteral("正常高 H = h − N: egm96 或格网文件 (GTX, GeoTIFF, ISG, ESRI ASCII) 的路径"));
  connect(geoidModel_, &QComboBox::currentTextChanged, this, [this](const QString& model) {
    CoordSettings::instance().geoid = ToStd(model);
    SettingsChanged();
  });

  // One labelled row for each side: 源坐标 and 目的坐标, each with its angle
  // format and its ellipsoid; the switches and the decimals below them.
  auto* conversionGroup = new QGroupBox(QStringLiteral("坐标转换"));
  conversionGroup->setObjectName(QStringLiteral("conversionGroup"));
  auto* conversionGrid = new QGridLayout(conversionGroup);
  const std::array sides{std::tuple{QStringLiteral("源坐标"), sourceAngleFormat_, sourceEllipsoid_},
                         std::tuple{QStringLiteral("目的坐标"), targetAngleFormat_, targetEllipsoid_}};
  int row = 0;
  for (const auto& [sideName, angleFormat, ellipsoid] : sides) {
    conversionGrid->addWidget(new QLabel(sideName), row, 0);
    AddLabelled(conversionGrid, row, 1, QStringLiteral("角度格式"), angleFormat);
    AddLabelled(conversionGrid, row, 3, QStringLiteral("椭球"), ellipsoid);
    AddLabelled(conversionGrid, row, 5, QStringLiteral("高程"), heightSystems_[row]);
    ++row;
  }
  auto* switches = new QHBoxLayout;
  switches->addWidget(sevenParams_);
  switches->addWidget(fourParams_);
  switches->addStretch();
  conversionGrid->addLayout(switches, row, 0, 1, 3);
  AddLabelled(conversionGrid, row, 3, QStringLiteral("高程模型"), geoidModel_);
  ++row;
  outputDecimals_ = MakeDecimalsBox(QStringLiteral("outputDecimals"), &CoordSettings::outputDecimals);
  angleDecimals_ = MakeDecimalsBox(QStringLiteral("angleDecimals"), &CoordSettings::angleDecimals);
  auto* decimals = new QHBoxLayout;
  for (auto [text, box] : {std::pair{QStringLiteral("输出小数位数"), outputDecimals_},
                           std::pair{QStringLiteral("角度小数位数(秒/分)"), angleDecimals_}}) {
    decimals->addWidget(LabelFor(text, box));
    decimals->addWidget(box);
  }
  decimals->addStretch();
  conversionGrid->addLayout(decimals, row, 0, 1, 7);
  conversionGrid->setColumnStretch(4, 1);

  auto* typeColumn = new QVBoxLayout;
  typeColumn->addWidget(sourceGroup);
  typeColumn->addWidget(targetGroup);

  auto* choices = new QWidget;
  auto* choiceRow = new QHBoxLayout(choices);
  choiceRow->setContentsMargins(0, 0, 0, 0);
  choiceRow->addLayout(typeColumn);
  choiceRow->addWidget(conversionGroup, 1);

  return choices;
}

QSpinBox* CTarnwellDlg::MakeDecimalsBox(const QString& objectName, int CoordSettings::*decimals) {
  auto* box = new QSpinBox;
  box->setObjectName(objectName);
  box->setRange(0, kMaxFixedDecimals);
  connect(box, &QSpinBox::valueChanged, this, [this, decimals](int value) {
    CoordSettings::instance().*decimals = value;
    SettingsChanged();
  });
  return box;
}

void CTarnwellDlg::MakeMenu() {
  auto* menuBar = new QMenuBar(this);
  menuBar->setObjectName(QStringLiteral("menuBar"));
  // Commands open through the menus' Alt mnemonics and their Ctrl keys, never
  // through a plain letter: letters belong to the control with the focus.
  auto addCommand = [this](QMenu* menu, const QString& text, int command, const QKeySequence& keys = {}) {
    QAction* action = menu->addAction(text);
    action->setData(command);
    connect(action, &QAction::triggered, this, [this, command] { OnCommand(command); });
    if (!keys.isEmpty()) {
      action->setShortcut(keys);
      addAction(action);  // the keys work anywhere in the window, with the menu closed
    }
    return action;
  };
  QMenu* file = menuBar->addMenu(QStringLiteral("文件&F"));
  addCommand(file, QStringLiteral("打开参数&O"), kOpenParameters, QKeySequence(Qt::CTRL | Qt::Key_O));
  addCommand(file, QStringLiteral("保存参数&S"), kSaveParameters, QKeySequence(Qt::CTRL | Qt::Key_S));
  recentFilesMenu_ = file->addMenu(QStringLiteral("最近的文件&R"));
  recentFilesMenu_->setObjectName(QStringLiteral("recentFilesMenu"));
  file->addSeparator();
  addCommand(file, QStringLiteral("退出&C"), kExit, QKeySequence(Qt::CTRL | Qt::Key_Q));
  QMenu* settings = menuBar->addMenu(QStringLiteral("设置&P"));
  addCommand(settings, QStringLiteral("投影参数&P"), kProjectionSettings, QKeySequence(Qt::CTRL | Qt::Key_P));
  addCommand(settings, QStringLiteral("基准转换参数&G"), kDatumSettings, QKeySequence(Qt::CTRL | Qt::Key_T));
  QMenu* tools = menuBar->addMenu(QStringLiteral("工具&T"));
  addCommand(tools, QStringLiteral("椭球管理&D"), kEllipsoids, QKeySequence(Qt::CTRL | Qt::Key_L));
  tools->addSeparator();
  addCommand(tools, QStringLiteral("恢复默认设置&R"), kResetSettings);
  QMenu* help = menuBar->addMenu(QStringLiteral("帮助&A"));
  addCommand(help, QStringLiteral("帮助文档&H"), kManual, QKeySequence(Qt::Key_F1));
  addCommand(help, QStringLiteral("关于&A"), kAbout);
  layout()->setMenuBar(menuBar);
}

void CTarnwellDlg::MakePages() {
  datumDialog_ = new CDlgDatumTrans(this);
  projectionDialog_ = new CDlgProjTrans(this);
  ellipsoidDialog_ = new CDlgEllips(this);
  // The ellipsoid lists follow the user's ellipsoids as they change.
  connect(ellipsoidDialog_, &CDlgEllips::ellipsoidsChanged, this, [this] {
    FillEllipsoidLists();
    SelectEllipsoidsInForce();
    // The same name may now stand for other values.
    pointPage_->ClearTargets();
  });
  aboutDialog_ = new CAboutDlg(this);
  helpWindow_ = new CHelpDlg(this);

  pointPage_ = new CDlgPoint;
  filePage_ = new CDlgFile;
  threeParameterPage_ = new CDlgTParas(datumDialog_);
  sevenParameterPage_ = new CDlgSParas(datumDialog_);
  fourParameterPage_ = new CDlgFParas;
  heightFitPage_ = new CDlgHeightFit;
  connect(heightFitPage_, &CDlgHeightFit::fitChanged, this, &CTarnwellDlg::SettingsChanged);
  filePage_->setStore(store_);
  filePage_->setRecentFilesMenu(recentFilesMenu_);
  connect(recentFilesMenu_, &QMenu::triggered, this, [this] { tabs_->setCurrentWidget(filePage_); });
  for (QDialog* dialog : std::initializer_list<QDialog*>{datumDialog_, projectionDialog_})
    connect(dialog, &QDialog::accepted, this, &CTarnwellDlg::SettingsChanged);
  AddPage(pointPage_, QStringLiteral("单点转换"), QStringLiteral("point"));
  AddPage(filePage_, QStringLiteral("文件转换"), QStringLiteral("file"));
  AddPage(threeParameterPage_, QStringLiteral("三参数计算"), QStringLiteral("three"));
  AddPage(sevenParameterPage_, QStringLiteral("七参数计算"), QStringLiteral("seven"));
  AddPage(fourParameterPage_, QStringLiteral("四参数计算"), QStringLiteral("four"));
  // Last, so that the remembered page indices of the others hold.
  AddPage(heightFitPage_, QStringLiteral("高程拟合"), QStringLiteral("height-fit"));
  HelpOnF1(projectionDialog_, QStringLiteral("projection"));
  HelpOnF1(datumDialog_, QStringLiteral("datum"));
  HelpOnF1(ellipsoidDialog_, QStringLiteral("ellipsoid"));
  HelpOnF1(filePage_->formatDialog(), QStringLiteral("file-format"));
  HelpOnF1(aboutDialog_, QStringLiteral("menu-about"));
  tabs_->setCurrentIndex(0);
  connect(tabs_, &QTabWidget::currentChanged, this, &CTarnwellDlg::OnTabChange);
  for (CommonPointPage* page :
       std::initializer_list<CommonPointPage*>{sevenParameterPage_, fourParameterPage_, heightFitPage_}) {
    connect(page, &CommonPointPage::pointsImported, this, [this] { pointsImportedSinceSave_ = true; });
  }
}

void CTarnwellDlg::AddPage(QWidget* page, const QString& title, const QString& section) {
  page->setProperty(kHelpSection, section);
  tabs_->addTab(page, title);
}

void CTarnwellDlg::HelpOnF1(QDialog* dialog, const QString& section) {
  dialog->setProperty(kHelpSection, section);
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), dialog);
  connect(f1, &QShortcut::activated, this, [this, dialog, section] { ShowHelp(section, dialog); });
}

void CTarnwellDlg::ShowHelp(const QString& section, QWidget* owner) {
  if (!helpWindow_->ShowSection(section, owner)) {
    ShowMessage("找不到帮助文档（manual/index.html），请检查程序的安装。");
  }
}

void CTarnwellDlg::OnInitDialog() {
  LoadEllipsoids();
  FillEllipsoidLists();
  CoordSettings& settings = CoordSettings::instance();
  if (store_) settings = store_->LoadCoordSettings();
  // Until a target type is remembered, the source's default target.
  if (!store_ || !store_->RemembersTargetType()) settings.targetType = DefaultTarget(settings.sourceType);
  if (store_) RestoreWindow();
  ShowSettings();
  MarkSaved();
}

CTarnwellDlg::~CTarnwellDlg() {
  if (store_) KeepFileDialogFolderIn(nullptr);
}

void CTarnwellDlg::FillEllipsoidLists() {
  for (QComboBox* list : {sourceEllipsoid_, targetEllipsoid_}) {
    const QSignalBlocker blocker(list);
    list->clear();
    for (const EllipsoidRecord& record : TheEllipsoidCatalogue()) list->addItem(EllipsoidEntryText(record), ToQt(record.name));
  }
}

void CTarnwellDlg::SelectEllipsoidsInForce() {
  const CoordSettings& settings = CoordSettings::instance();
  sourceEllipsoid_->setCurrentIndex(sourceEllipsoid_->findData(ToQt(settings.sourceEllipsoid)));
  targetEllipsoid_->setCurrentIndex(targetEllipsoid_->findData(ToQt(settings.targetEllipsoid)));
}

void CTarnwellDlg::ShowSettings() {
  const CoordSettings& settings = CoordSettings::instance();
  SelectAngleFormat(sourceAngleFormat_, settings.sourceAngleFormat);
  SelectAngleFormat(targetAngleFormat_, settings.targetAngleFormat);
  sevenParams_->setChecked(settings.useSevenParams);
  fourParams_->setChecked(settings.useFourParams);
  outputDecimals_->setValue(settings.outputDecimals);
  angleDecimals_->setValue(settings.angleDecimals);
  fourParameterPage_->setHeightModel(settings.heightFit.model);
  SelectEllipsoidsInForce();
  sourceRadios_[RadioIndex(settings.sourceType)]->setChecked(true);
  targetRadios_[RadioIndex(settings.targetType)]->setChecked(true);
  // "Space" is always ellipsoidal.
  for (bool target : {false, true}) {
    const CoordinateType type = target ? settings.targetType : settings.sourceType;
    heightSystems_[target]->setCurrentIndex(static_cast<int>(target ? settings.targetHeight : settings.sourceHeight));
    heightSystems_[target]->setEnabled(type != CoordinateType::Space);
  }
  if (geoidModel_->currentText() != ToQt(settings.geoid)) geoidModel_->setEditText(ToQt(settings.geoid));
  pointPage_->SetSourceLabels(settings.sourceType, settings.sourceHeight);
  pointPage_->SetTargetLabels(settings.targetType, settings.targetHeight);
  SettingsChanged();
}

void CTarnwellDlg::SettingsChanged() {
  pointPage_->ForgetStaleResult();
  filePage_->RefreshPreview();
  heightFitPage_->ShowSettings();
}

void CTarnwellDlg::MarkSaved() {
  savedParameters_ = CoordSettings::instance();
  pointsImportedSinceSave_ = false;
}

void CTarnwellDlg::RestoreWindow() {
  {
    // The remembered types stand on every page, a computation page's too.
    const QSignalBlocker blocker(tabs_);
    tabs_->setCurrentIndex(store_->currentPage(tabs_->count()));
  }
  restoreGeometry(store_->windowGeometry());
  pointPage_->setSourceTexts(store_->typedPoint());
}

void CTarnwellDlg::RememberSettings() {
  if (!store_) return;
  store_->SaveCoordSettings(CoordSettings::instance());
  store_->setCurrentPage(tabs_->currentIndex());
  store_->setTypedPoint(pointPage_->sourceTexts());
  store_->setWindowGeometry(saveGeometry());
}

void CTarnwellDlg::ChooseSource(CoordinateType source) {
  CoordSettings& settings = CoordSettings::instance();
  settings.sourceType = source;
  settings.targetType = DefaultTarget(source);
  ShowSettings();
}

void CTarnwellDlg::ChooseTarget(CoordinateType target) {
  CoordSettings::instance().targetType = target;
  ShowSettings();
}

// Every pair of types converts with the switch as without it: it only puts
// the datum transformation between the two ellipsoids.
void CTarnwellDlg::OnSevenParams() {
  CoordSettings::instance().useSevenParams = sevenParams_->isChecked();
  SettingsChanged();
}

void CTarnwellDlg::OnFourParams() {
  CoordSettings::instance().useFourParams = fourParams_->isChecked();
  SettingsChanged();
}

void CTarnwellDlg::OnSourceAngleFormat() {
  ReadAngleFormat(sourceAngleFormat_, CoordSettings::instance().sourceAngleFormat);
  SettingsChanged();
}

void CTarnwellDlg::OnHeightSystem(bool target) {
  CoordSettings& settings = CoordSettings::instance();
  (target ? settings.targetHeight : settings.sourceHeight) =
      static_cast<HeightSystem>(heightSystems_[target]->currentIndex());
  ShowSettings();
}

void CTarnwellDlg::OnTargetAngleFormat() {
  ReadAngleFormat(targetAngleFormat_, CoordSettings::instance().targetAngleFormat);
  SettingsChanged();
}

void CTarnwellDlg::OnSourceEllipsoid() {
  CoordSettings::instance().sourceEllipsoid = ToStd(sourceEllipsoid_->currentData().toString());
  SettingsChanged();
}

void CTarnwellDlg::OnTargetEllipsoid() {
  CoordSettings::instance().targetEllipsoid = ToStd(targetEllipsoid_->currentData().toString());
  SettingsChanged();
}

void CTarnwellDlg::OnTabChange(int tab) {
  // The computation pages work on geodetic coordinates on both sides.
  if (tab == 2 || tab == 3) {
    CoordSettings& settings = CoordSettings::instance();
    settings.sourceType = settings.targetType = CoordinateType::LB;
    ShowSettings();
  }
}

void CTarnwellDlg::OnCommand(int command) {
  switch (command) {
    case kExit:
      close();
      break;
    case kProjectionSettings:
      projectionDialog_->exec();
      break;
    case kDatumSettings:
      datumDialog_->exec();
      break;
    case kEllipsoids:
      ellipsoidDialog_->exec();
      break;
    case kAbout:
      aboutDialog_->exec();
      break;
    case kResetSettings:
      OnResetSettings();
      break;
    case kManual:
      OnManual();
      break;
    case kSaveParameters:
      OnSaveParameters();
      break;
    case kOpenParameters:
      OnOpenParameters();
      break;
    default:
      break;
  }
}

bool CTarnwellDlg::HasUnsavedWork() const {
  const bool pointsHeld = !sevenParameterPage_->commonPoints().empty() ||
                          !fourParameterPage_->commonPoints().empty() || !heightFitPage_->commonPoints().empty();
  const CoordSettings& settings = CoordSettings::instance();
  return (pointsImportedSinceSave_ && pointsHeld) || settings.datum != savedParameters_.datum ||
         settings.fourParams != savedParameters_.fourParams || settings.heightFit != savedParameters_.heightFit ||
         settings.useAnomalyFit != savedParameters_.useAnomalyFit || settings.anomalyFit != savedParameters_.anomalyFit;
}

void CTarnwellDlg::OnSaveParameters() {
  QString path = chooseParameterFileToSave_(this);
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".twp");
  if (!WriteParameterFile(ToStdPath(path), CoordSettings::instance())) return;
  MarkSaved();
}

void CTarnwellDlg::OnOpenParameters() {
  const QString path = chooseParameterFileToOpen_(this);
  if (path.isEmpty()) return;
  const std::optional<CoordSettings> opened = ReadParameterFile(ToStdPath(path), CoordSettings::instance());
  if (!opened) return;
  CoordSettings::instance() = *opened;
  ShowSettings();
  MarkSaved();
}

void CTarnwellDlg::done(int result) {
  if (HasUnsavedWork() && !question_(this, kLeaveQuestion)) return;
  RememberSettings();
  QDialog::done(result);
}

void CTarnwellDlg::OnResetSettings() {
  if (!question_(this, kResetQuestion)) return;
  if (store_) store_->Clear();
  filePage_->setStore(store_);  // the recent files, forgotten with the rest
  CoordSettings& settings = CoordSettings::instance();
  settings = {};
  settings.targetType = DefaultTarget(settings.sourceType);
  MarkSaved();
  // As at a first start: the first page, the window's own size in the
  // middle of its screen.
  tabs_->setCurrentIndex(0);
  pointPage_->setSourceTexts({});
  ShowSettings();
  setWindowState(Qt::WindowNoState);
  resize(sizeHint());
  if (const QScreen* display = screen()) move(display->availableGeometry().center() - rect().center());
}

void CTarnwellDlg::OnManual() {
  const QString section = tabs_->currentWidget()->property(kHelpSection).toString();
  ShowHelp(section.isEmpty() ? QStringLiteral("window") : section, this);
}

void CTarnwellDlg::keyPressEvent(QKeyEvent* event) {
  // Keys the controls leave unused end here. Unlike a dialog's, Enter and
  // Escape neither close the window nor press a button: one stray key must
  // not lose the typed point or unsaved parameters. Leaving is Ctrl+Q,
  // 文件 › 退出 or the close box.
  event->ignore();
}

}  // namespace tarnwell
