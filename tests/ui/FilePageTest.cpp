// The file page: the format chooser, the file choice, and conversions on
// the worker thread with their messages, the output box and cancellation.
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "UiTestSupport.h"
#include "engine/CoordSettings.h"
#include "tables/NumberText.h"
#include "tables/TableText.h"
#include "ui/CDlgFile.h"
#include "ui/CTarnwellDlg.h"

using namespace tarnwell;
using namespace tarnwell::test;

class FilePageTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<RunningWindow> running_;
  QTemporaryDir directory_;

  CDlgFile* Page() { return running_->window.filePage(); }
  QPlainTextEdit* Input() { return Child<QPlainTextEdit>(Page(), "inputPath"); }
  QPlainTextEdit* Output() { return Child<QPlainTextEdit>(Page(), "outputPath"); }
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
    Input()->setPlainText(path);
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
    QCOMPARE(CoordSettings::instance().fileFormat, std::string("n,X,Y,Z"));
    Convert();
    QVERIFY(running_->recorder.messages().isEmpty());
    QCOMPARE(Output()->toPlainText(), QString());
  }

  void convertsASmallFileOnTheWorker() {
    Child<QRadioButton>(&running_->window, "sourceLB")->click();  // target "Space", format "n,b,l,h" fits
    const QString path = directory_.filePath("点 pts.csv");
    WriteFile(path, "北门,0:0:0,120:0:0,0\r\nP2,30:0:0,120:0:0,10\nP3,0:0:0,120:0:0, 0 \r\n");
    Input()->setPlainText(path);
    Convert();
    QVERIFY(running_->recorder.messages().isEmpty());
    QCOMPARE(Output()->toPlainText(), path + "1");
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
    Output()->setPlainText("earlier");
    Input()->setPlainText(path);
    Convert();
    QCOMPARE(running_->recorder.messages(), QStringList({"文件坐标格式不正确，请检查。\n第 2 行: P2,1,2,3,"}));
    QCOMPARE(Output()->toPlainText(), QString("earlier"));
    QVERIFY(!QFile::exists(path + "1"));  // no part of a conversion under the output name
  }

  void unreadableInputIsReported() {
    Child<QRadioButton>(&running_->window, "sourceLB")->click();
    Input()->setPlainText(directory_.filePath("missing.csv"));
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
    QCOMPARE(Input()->toPlainText(), path);

    Page()->setFileChooser([](QWidget*) { return QString(); });  // cancelled
    QTest::mouseClick(Child<QPushButton>(Page(), "browseButton"), Qt::LeftButton);
    QCOMPARE(Input()->toPlainText(), path);
  }

  // A conversion still running shows the progress dialog; its Cancel stops
  // the worker, leaves no output and says so. The input is a pipe the
  // test holds open, so the conversion cannot end before the Cancel.
  void cancelStopsTheConversion() {
    Child<QRadioButton>(&running_->window, "sourceLB")->click();
    const QString path = directory_.filePath("pipe.csv");
    QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    std::atomic<bool> release{false};
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
    Output()->setPlainText("earlier");
    Input()->setPlainText(path);
    Page()->setProgressDelay(std::chrono::milliseconds(0));
    Convert();
    release = true;
    writer.join();
    QVERIFY(watch->fired());
    QCOMPARE(caption, QString("Tarnwell"));
    QCOMPARE(running_->recorder.messages(), QStringList({"转换已取消。"}));
    QCOMPARE(Output()->toPlainText(), QString("earlier"));
    QVERIFY(!QFile::exists(path + "1"));
  }
};

QTEST_MAIN(FilePageTest)
#include "FilePageTest.moc"
