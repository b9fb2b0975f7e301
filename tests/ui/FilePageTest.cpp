// The file page: the format chooser, the file choice, and conversions on
// the worker thread with their messages, the output box and cancellation.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTableWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "UiTestSupport.h"
#include "engine/CoordSettings.h"
#include "tables/NumberText.h"
#include "tables/TableText.h"
#include "ui/CDlgFile.h"
#include "ui/CDlgFileFt.h"
#include "ui/CTarnwellDlg.h"
#include "ui/SettingsStore.h"

using namespace tarnwell;
using namespace tarnwell::test;

class FilePageTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<RunningWindow> running_;
  QTemporaryDir directory_;

  CDlgFile* Page() { return running_->window.filePage(); }
  QLineEdit* Input() { return Child<QLineEdit>(Page(), "inputPath"); }
  QLineEdit* Output() { return Child<QLineEdit>(Page(), "outputPath"); }
  void Convert() { QTest::mouseClick(Child<QPushButton>(Page(), "convertButton"), Qt::LeftButton); }
  void ChooseFormat(int row) {
    auto watch = WhenModal("fileFormatDialog", [row](QWidget* dialog) {
      Child<QListWidget>(dialog, "formatList")->setCurrentRow(row);
      qobject_cast<QDialog*>(dialog)->accept();
    });
    QTest::mouseClick(Child<QPushButton>(Page(), "formatButton"), Qt::LeftButton);
    QVERIFY(watch->fired());
  }

 private slots:
  void init() { running_ = std::make_unique<RunningWindow>(); }
  void cleanup() { running_.reset(); }

  void formatMustBelongToTheSourceType() {
    const QString path = directory_.filePath("pts.csv");
    WriteFile(path, "P1,1,2,3\r\n");
    Input()->setText(path);
    Convert();  // start-up: source "Space", format "n,b,l,h"
    QCOMPARE(running_->recorder.messages(), QStringList({"文件格式与坐标类型冲突，请检查。"}));
    QVERIFY(!QFile::exists(path + "1"));

    // Even with an empty box the conflict is reported first.
    running_->recorder.clear();
    Input()->clear();
    Convert();
    QCOMPARE(running_->recorder.messages(), QStringList({"文件格式与坐标类型冲突，请检查。"}));

    // With a fitting format an empty box stops without a word.
    running_->recorder.clear();
    ChooseFormat(2);
    QCOMPARE(CoordSettings::instance().fileFormat, FileFormat::NameXYZ);
    Convert();
    QVERIFY(running_->recorder.messages().isEmpty());
    QCOMPARE(Output()->text(), QString());
  }

  void convertsASmallFileOnTheWorker() {
    Child<QRadioButton>(&running_->window, "sourceLB")->click();  // target "Space", format "n,b,l,h" fits
    const QString path = directory_.filePath("点 pts.csv");
    WriteFile(path, "北门,0:0:0,120:0:0,0\r\nP2,30:0:0,120:0:0,10\nP3,0:0:0,120:0:0, 0 \r\n");
    Input()->setText(path);
    Convert();
    QVERIFY(running_->recorder.messages().isEmpty());
    QCOMPARE(Output()->text(), path + "1");
    const std::vector<std::string> lines = SplitAtChar(ReadFile(path + "1"), '\n');
    QCOMPARE(lines.size(), std::size_t(4));  // three lines and the empty rest after the last line end
    const std::vector<std::string> first = SplitAtChar(lines[0], ',');
    QCOMPARE(first.size(), std::size_t(4));
    QCOMPARE(first[0], std::string("北门"));
    QVERIFY(std::abs(std::stod(first[1]) - (-3189068.5)) < 1e-6);
    QCOMPARE(first[3], std::string("0.000000000000000\r"));
    QVERIFY(lines[1].starts_with("P2,"));
    QCOMPARE(SplitAtChar(lines[2], ','), (std::vector<std::string>{"P3", first[1], first[2], first[3]}));  // blanks around a value do not count
    QCOMPARE(lines[3], std::string());
  }

  void badLineStopsWithItsMessage() {
    Child<QRadioButton>(&running_->window, "sourceLB")->click();
    const QString path = directory_.filePath("bad.csv");
    WriteFile(path, "P1,0:0:0,120:0:0,0\r\nP2,1,2,3,\r\nP3,0:0:0,120:0:0,0\r\n");
    Output()->setText("earlier");
    Input()->setText(path);
    Convert();
    QCOMPARE(running_->recorder.messages(), QStringList({"文件坐标格式不正确，请检查。\n第 2 行: P2,1,2,3,"}));
    QCOMPARE(Output()->text(), QString());  // no output to show after a failure
    QVERIFY(!QFile::exists(path + "1"));  // no part of a conversion under the output name
  }

  void unreadableInputIsReported() {
    Child<QRadioButton>(&running_->window, "sourceLB")->click();
    Input()->setText(directory_.filePath("missing.csv"));
    Convert();
    QCOMPARE(running_->recorder.messages(), QStringList({"坐标文件无法读取。"}));
  }

  void browsePutsTheChosenPathInTheInputBox() {
    const QString path = directory_.filePath("点 chosen.csv");
    QWidget* chooserParent = nullptr;
    Page()->setFileChooser([&](QWidget* parent) {
      chooserParent = parent;
      return path;
    });
    QTest::mouseClick(Child<QPushButton>(Page(), "browseButton"), Qt::LeftButton);
    QCOMPARE(chooserParent, Page());
    QCOMPARE(Input()->text(), path);

    Page()->setFileChooser([](QWidget*) { return QString(); });  // cancelled
    QTest::mouseClick(Child<QPushButton>(Page(), "browseButton"), Qt::LeftButton);
    QCOMPARE(Input()->text(), path);
  }

  void pastedLineBreaksAreDropped() {
    QApplication::clipboard()->setText("/data/pts\r\n.csv\n");
    Input()->paste();
    QCOMPARE(Input()->text(), QString("/data/pts.csv"));
  }

  void droppedFileGoesToTheInputBox() {
    const QString path = directory_.filePath("dropped.csv");
    WriteFile(path, "P1,1,2,3\r\n");
    const auto drop = [&](const QList<QUrl>& urls) {
      QMimeData data;
      data.setUrls(urls);
      QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(Page(), &enter);
      if (!enter.isAccepted()) return false;
      QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(Page(), &dropped);
      return true;
    };
    QVERIFY(!drop({QUrl("https://example.org/pts.csv")}));
    QVERIFY(!drop({QUrl::fromLocalFile(path), QUrl("https://example.org/pts.csv")}));
    QCOMPARE(Input()->text(), QString());
    // Several files are a list for this conversion, not a recent file.
    QVERIFY(drop({QUrl::fromLocalFile(path), QUrl::fromLocalFile(path + "2")}));
    QCOMPARE(Input()->text(), "\"" + path + "\" \"" + path + "2\"");
    QVERIFY(Page()->recentFiles().isEmpty());
    QVERIFY(drop({QUrl::fromLocalFile(path)}));
    QCOMPARE(Input()->text(), path);
    QCOMPARE(Page()->recentFiles(), QStringList({path}));
  }

  // The first lines as the conversion reads them, with the source type and
  // angle format in force; a bad line carries its reason.
  void previewShowsTheLinesAsRead() {
    Child<QRadioButton>(&running_->window, "sourceLB")->click();  // DMS angles
    const QString path = directory_.filePath("preview.csv");
    std::string lines = "北门,30:30:0,120:15:36,10.5\r\nP2,30.5,120,0\r\nP3,1,2\r\n";
    for (int i = 4; i <= 12; ++i) {
      lines += "P";  // appended piece by piece: GCC 12 warns falsely on "P" + text
      lines += std::to_string(i);
      lines += ",1:0:0,2:0:0,0\r\n";
    }
    WriteFile(path, lines);
    Input()->setText(path);
    auto* table = Child<QTableWidget>(Page(), "preview");
    const auto cell = [table](int row, int column) {
      const QTableWidgetItem* item = table->item(row, column);
      return item ? item->text() : QString();
    };
    QCOMPARE(table->rowCount(), 10);
    QCOMPARE(table->horizontalHeaderItem(2)->text(), QString("纬度"));
    QCOMPARE(QStringList({cell(0, 0), cell(0, 1), cell(0, 2), cell(0, 3), cell(0, 4), cell(0, 5)}),
             QStringList({"1", "北门", "30.5", "120.26", "10.5", ""}));
    // A reason stands where the values would, in view without scrolling.
    QCOMPARE(cell(1, 2), QString("坐标格式错误,请检查."));
    QCOMPARE(table->columnSpan(1, 2), 4);
    QCOMPARE(cell(2, 2), QString("文件坐标格式不正确，请检查。"));
    QCOMPARE(cell(9, 0), QString("10"));
    QVERIFY(Child<QLabel>(Page(), "previewTitle")->text().contains("前 10 行"));

    // Another angle format reads the lines anew.
    auto* format = Child<QComboBox>(&running_->window, "sourceAngleFormat");
    format->setCurrentText("DDD");
    running_->window.OnSourceAngleFormat();
    QCOMPARE(cell(0, 2), QString("坐标格式错误,请检查."));
    QCOMPARE(cell(1, 2), QString("30.5"));
    QCOMPARE(table->columnSpan(1, 2), 1);
    QVERIFY(running_->recorder.messages().isEmpty());
  }

  // A bad line past the preview is found by the check of the whole file.
  void wholeFileCheckFindsTheFirstBadLine() {
    Child<QRadioButton>(&running_->window, "sourceLB")->click();
    const QString path = directory_.filePath("long.csv");
    std::string lines;
    for (int i = 1; i <= 20; ++i) lines += i == 13 ? "P13,1:0:0,2:0:0\r\n" : "P,1:0:0,2:0:0,0\r\n";
    WriteFile(path, lines);
    Input()->setText(path);
    QVERIFY(WaitFor([this] { return !Page()->fileCheckRunning(); }));
    QCoreApplication::processEvents();
    QCOMPARE(Child<QLabel>(Page(), "fileCheck")->text(), QString("整个文件检查：第 13 行：文件坐标格式不正确，请检查。"));

    WriteFile(path, "P,1:0:0,2:0:0,0\r\n");
    Page()->RefreshPreview();
    QVERIFY(WaitFor([this] { return !Page()->fileCheckRunning(); }));
    QCoreApplication::processEvents();
    QCOMPARE(Child<QLabel>(Page(), "fileCheck")->text(), QString("整个文件检查：各行均可读取。"));
  }

  // An existing output is replaced only after a "是"; a success is summed up.
  void overwriteAsksAndSuccessIsSummedUp() {
    Child<QRadioButton>(&running_->window, "sourceLB")->click();
    const QString path = directory_.filePath("again.csv");
    WriteFile(path, "P1,0:0:0,120:0:0,0\r\nP2,0:0:0,120:0:0,0\r\n");
    WriteFile(path + "1", "kept\r\n");
    QStringList questions;
    bool answer = false;
    QWidget* questionParent = nullptr;
    Page()->setQuestion([&](QWidget* parent, const QString& text) {
      questionParent = parent;
      questions << text;
      return answer;
    });
    Input()->setText(path);
    Convert();
    QCOMPARE(questions, QStringList({"文件 " + path + "1 已存在，是否覆盖？"}));
    QCOMPARE(questionParent, Page());
    QCOMPARE(ReadFile(path + "1"), std::string("kept\r\n"));
    QCOMPARE(Output()->text(), QString());

    answer = true;
    Convert();
    QCOMPARE(questions.size(), 2);
    QVERIFY(ReadFile(path + "1").starts_with("P1,"));
    QCOMPARE(Output()->text(), path + "1");
    const QString summary = Child<QLabel>(Page(), "summary")->text();
    QVERIFY2(summary.startsWith("已转换 2 个点，用时 ") && summary.contains(" 秒\n" + path + "1"), qPrintable(summary));
    QCOMPARE(Page()->recentFiles(), QStringList({path}));

    // Another input clears what the success showed.
    Input()->setText(path + "x");
    QCOMPARE(Child<QLabel>(Page(), "summary")->text(), QString());
    QCOMPARE(Output()->text(), QString());
    Input()->setText(path);
    Convert();
    QVERIFY(!Child<QLabel>(Page(), "summary")->text().isEmpty());

    // A failure clears what the success showed.
    WriteFile(path, "P1,0:0:0\r\n");
    Convert();
    QCOMPARE(Output()->text(), QString());
    QCOMPARE(Child<QLabel>(Page(), "summary")->text(), QString());
  }

  // 文件 › 最近的文件: the last eight, the latest first, kept by the store.
  void recentFilesAreKeptAndOffered() {
    running_.reset();
    SettingsStore store(directory_.filePath("recent.ini"));
    {
      CTarnwellDlg window(&store);
      QStringList chosen;
      for (int i = 0; i < 10; ++i) chosen.prepend(directory_.filePath(QString("f%1.csv").arg(i)));
      int next = 9;
      window.filePage()->setFileChooser([&](QWidget*) { return chosen[next--]; });
      for (int i = 0; i < 10; ++i) window.filePage()->OnBrowse();
      chosen.removeLast();
      chosen.removeLast();
      QCOMPARE(store.recentFiles(), chosen);
      QCOMPARE(window.filePage()->recentFiles(), chosen);
    }
    CTarnwellDlg window(&store);
    auto* menu = Child<QMenu>(&window, "recentFilesMenu");
    const QList<QAction*> actions = menu->actions();
    QCOMPARE(actions.size(), 8);
    QCOMPARE(actions[0]->text(), directory_.filePath("f9.csv"));
    actions[2]->trigger();
    QCOMPARE(Child<QLineEdit>(window.filePage(), "inputPath")->text(), directory_.filePath("f7.csv"));
    QCOMPARE(Child<QTabWidget>(&window, "pageTabs")->currentWidget(), window.filePage());

    // A reset forgets them.
    window.setQuestion([](QWidget*, const QString&) { return true; });
    window.OnResetSettings();
    QVERIFY(menu->actions().isEmpty());
    QVERIFY(!menu->isEnabled());
    QVERIFY(store.recentFiles().isEmpty());
  }

  void fileDialogStartsInTheLastFolder() {
    running_.reset();
    SettingsStore store(directory_.filePath("folder.ini"));
    QDir(directory_.path()).mkdir("last");
    store.setLastFolder(directory_.filePath("last"));
    CTarnwellDlg window(&store);
    const FileDialogLook look = CancelFileDialog([&] { window.filePage()->OnBrowse(); });
    QVERIFY(look.opened);
    QCOMPARE(look.directory, QDir(directory_.filePath("last")).absolutePath());
  }

  // 输出小数位数: chosen in the window, used by the conversion, remembered.
  void outputDecimalsAreChosenUsedAndRemembered() {
    Child<QRadioButton>(&running_->window, "sourceLB")->click();
    auto* decimals = Child<QSpinBox>(&running_->window, "outputDecimals");
    QCOMPARE(decimals->value(), 15);
    QCOMPARE(decimals->maximum(), 15);
    QCOMPARE(decimals->minimum(), 0);
    decimals->setValue(3);
    QCOMPARE(CoordSettings::instance().outputDecimals, 3);
    const QString path = directory_.filePath("three.csv");
    WriteFile(path, "P1,0:0:0,120:0:0,0\r\n");
    Input()->setText(path);
    Convert();
    QCOMPARE(ReadFile(path + "1"), std::string("P1,-3189068.500,5523628.671,0.000\r\n"));

    SettingsStore store(directory_.filePath("decimals.ini"));
    store.SaveCoordSettings(CoordSettings::instance());
    QCOMPARE(store.LoadCoordSettings().outputDecimals, 3);
    for (const char* stored : {"16", "-1", "x", " 3"}) {
      QSettings(store.fileName(), QSettings::IniFormat).setValue("settings/outputDecimals", stored);
      QCOMPARE(SettingsStore(store.fileName()).LoadCoordSettings().outputDecimals, 15);
    }
  }

  // A conversion still running shows the progress dialog; its Cancel stops
  // the worker, leaves no output and says so. The input is a pipe the
  // test holds open, so the conversion cannot end before the Cancel.
  void cancelStopsTheConversion() {
    Child<QRadioButton>(&running_->window, "sourceLB")->click();
    const QString path = directory_.filePath("pipe.csv");
    QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    std::atomic<bool> release{false};
    // The conversion may close its end first: a write into a pipe nobody
    // reads must not end the test.
    std::signal(SIGPIPE, SIG_IGN);
    std::thread writer([&] {
      const int pipe = open(QFile::encodeName(path).constData(), O_WRONLY);
      const std::string lines = "P1,0:0:0,120:0:0,0\r\nP2,0:0:0,120:0:0,0\r\n";
      (void)!write(pipe, lines.data(), lines.size());
      while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      close(pipe);
    });
    QString caption;
    auto watch = WhenModal("conversionProgress", [&](QWidget* modal) {
      caption = modal->windowTitle();
      Child<QPushButton>(modal, QString())->click();  // the dialog's one button
      release = true;
    });
    Output()->setText("earlier");
    Input()->setText(path);
    Page()->setProgressDelay(std::chrono::milliseconds(0));
    Convert();
    release = true;
    writer.join();
    QVERIFY(watch->fired());
    QCOMPARE(caption, QString("Tarnwell"));
    QCOMPARE(running_->recorder.messages(), QStringList({"转换已取消。"}));
    QCOMPARE(Output()->text(), QString());
    QVERIFY(!QFile::exists(path + "1"));
  }

  // The layout editor: a preset or columns of one's own, previewed on the
  // input file as they are edited, stored on OK; columns that are no
  // layout are refused.
  void layoutEditorPreviewsAndStoresTheLayout() {
    Child<QRadioButton>(&running_->window, "sourcePlan")->click();
    const QString path = directory_.filePath("pts.dat");
    WriteFile(path, "点名;编码;Y;X;H\r\nK1;控制点;512345.6;3456789.0;45.6\r\n");
    Input()->setText(path);
    QStringList headers, firstPoint, check;
    auto watch = WhenModal("fileFormatDialog", [&](QWidget* dialog) {
      Child<QListWidget>(dialog, "formatList")->setCurrentRow(CDlgFileFt::kCassRow);
      QCOMPARE(Child<QLineEdit>(dialog, "columns")->text(), QString("name,code,y,x,h"));
      Child<QListWidget>(dialog, "formatList")->setCurrentRow(CDlgFileFt::kOwnColumnsRow);
      Child<QLineEdit>(dialog, "columns")->setText("name,code,x");
      check << Child<QLabel>(dialog, "columnsCheck")->text();
      Child<QLineEdit>(dialog, "columns")->setText("name,code,y,x,h");
      Child<QComboBox>(dialog, "separator")->setCurrentIndex(3);  // semicolon
      Child<QCheckBox>(dialog, "automaticHeader")->setChecked(true);
      Child<QComboBox>(dialog, "outputLayout")->setCurrentIndex(1);
      check << Child<QLabel>(dialog, "columnsCheck")->text();
      auto* table = Child<QTableWidget>(dialog, "layoutPreview");
      for (int column = 0; column < table->columnCount(); ++column) {
        headers << table->horizontalHeaderItem(column)->text();
        firstPoint << (table->item(1, column) ? table->item(1, column)->text() : QString());
      }
      qobject_cast<QDialog*>(dialog)->accept();
    });
    QTest::mouseClick(Child<QPushButton>(Page(), "formatButton"), Qt::LeftButton);
    QVERIFY(watch->fired());
    QVERIFY(check[0].startsWith("列不正确"));
    QCOMPARE(check[1], QString());
    QCOMPARE(headers, QStringList({"行", "点名", "编码", "东坐标", "北坐标", "大地高", "说明"}));
    QCOMPARE(firstPoint, QStringList({"2", "K1", "控制点", "512345.6", "3456789.0", "45.6", ""}));
    const CoordSettings& settings = CoordSettings::instance();
    QCOMPARE(settings.fileLayout, (FileLayout{"name,code,y,x,h", Separator::Semicolon, kAutomaticHeader}));
    QCOMPARE(settings.outputLayout, OutputLayout::Csv);
    // The page's preview reads the same columns; the fixed layouts come back.
    QCOMPARE(Child<QTableWidget>(Page(), "preview")->item(0, 6)->text(), QString("文件头"));
    ChooseFormat(1);
    QCOMPARE(settings.fileLayout, FileLayout{});
    QCOMPARE(settings.fileFormat, FileFormat::NameXYh);

    auto refused = WhenModal("fileFormatDialog", [&](QWidget* dialog) {
      Child<QListWidget>(dialog, "formatList")->setCurrentRow(CDlgFileFt::kOwnColumnsRow);
      Child<QLineEdit>(dialog, "columns")->setText("name,x,y");
      qobject_cast<QDialog*>(dialog)->accept();
      QVERIFY(dialog->isVisible());
      qobject_cast<QDialog*>(dialog)->reject();
    });
    QTest::mouseClick(Child<QPushButton>(Page(), "formatButton"), Qt::LeftButton);
    QVERIFY(refused->fired());
    QCOMPARE(running_->recorder.messages(), QStringList({"自定义列不正确，请检查。"}));
    QCOMPARE(settings.fileFormat, FileFormat::NameXYh);
  }

  // Several files, or a folder: each converted on its own into the chosen
  // folder, one failure named in the summary with its line, no box apiece.
  void severalFilesEachConvertAndAreSummedUp() {
    Child<QRadioButton>(&running_->window, "sourceLB")->click();
    QDir(directory_.path()).mkpath("in");
    QDir(directory_.path()).mkpath("out");
    const QString a = directory_.filePath("in/a.csv"), b = directory_.filePath("in/b.csv"),
                  c = directory_.filePath("in/c.txt");
    WriteFile(a, "P1,0:0:0,120:0:0,0\r\n");
    WriteFile(b, "P1,0:0:0,120:0:0,0\r\nP2,1\r\n");
    WriteFile(c, "P1,0:0:0,120:0:0,0\r\nP2,0:0:0,120:0:0,0\r\n");
    Page()->setOutputChooser([this](QWidget*, bool folder) { return folder ? directory_.filePath("out") : QString(); });
    Input()->setText(directory_.filePath("in"));
    QTest::mouseClick(Child<QPushButton>(Page(), "outputButton"), Qt::LeftButton);
    QCOMPARE(Child<QLineEdit>(Page(), "outputChoice")->text(), directory_.filePath("out"));
    Convert();
    QVERIFY(running_->recorder.messages().isEmpty());
    QVERIFY(QFile::exists(directory_.filePath("out/a.csv")) && QFile::exists(directory_.filePath("out/c.txt")));
    QVERIFY(!QFile::exists(directory_.filePath("out/b.csv")));
    const QStringList summary = Child<QLabel>(Page(), "summary")->text().split('\n');
    QCOMPARE(summary.size(), 4);
    QVERIFY2(summary[0].startsWith("已转换 2 个文件, 1 个未转换, 共 3 个点"), qPrintable(summary[0]));
    QCOMPARE(summary[1], "a.csv: 已转换 1 个点 → " + directory_.filePath("out/a.csv"));
    QCOMPARE(summary[2], QString("b.csv: 未转换 文件坐标格式不正确，请检查。  第 2 行: P2,1"));
    QCOMPARE(Output()->text(), "\"" + directory_.filePath("out/a.csv") + "\" \"" + directory_.filePath("out/c.txt") + "\"");

    // Several files into one file would keep only the last.
    Child<QLineEdit>(Page(), "outputChoice")->setText(directory_.filePath("one.csv"));
    Input()->setText("\"" + a + "\" \"" + c + "\"");
    Convert();
    QCOMPARE(running_->recorder.messages(), QStringList({"多个输入文件时, 输出位置须为已有的文件夹。"}));
  }
};

QTEST_MAIN(FilePageTest)
#include "FilePageTest.moc"
