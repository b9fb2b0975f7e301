// The manual's pictures are the screenshot tour's current output: the tour
// runs into a temporary folder, and every picture the manual shows must be
// among its pictures, pixel for pixel. Runs of the tour here give the same
// bytes each time, so no tolerance is allowed: a difference is a change of
// the program (or of the manual, which the help window's picture shows).
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kRegenerate =
    QStringLiteral("run the tour to regenerate the pictures: cmake --build build --target manual_pictures");

// The pictures index.html shows, "images/page0-point.png" and the like.
QStringList ManualPictures() {
  QFile manual(QStringLiteral(TARNWELL_MANUAL_SOURCE "/index.html"));
  if (!manual.open(QIODevice::ReadOnly)) return {};
  QStringList pictures;
  const QRegularExpression source(QStringLiteral("<img[^>]*\\ssrc=\"([^\"]+)\""));
  for (const QRegularExpressionMatch& match : source.globalMatch(QString::fromUtf8(manual.readAll()))) {
    if (!pictures.contains(match.captured(1))) pictures << match.captured(1);
  }
  return pictures;
}

// How two pictures of one size differ: the count of unequal pixels and the
// rectangle around them.
struct PixelDifference {
  int count = 0;
  QRect where;
};

PixelDifference Compare(const QImage& shipped, const QImage& made) {
  const QImage a = shipped.convertToFormat(QImage::Format_ARGB32);
  const QImage b = made.convertToFormat(QImage::Format_ARGB32);
  PixelDifference difference;
  for (int y = 0; y < a.height(); ++y) {
    const auto* rowA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const auto* rowB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x) {
      if (rowA[x] == rowB[x]) continue;
      ++difference.count;
      difference.where |= QRect(x, y, 1, 1);
    }
  }
  return difference;
}

}  // namespace

class ManualPicturesTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir tourOutput_;
  QTemporaryDir tourHome_;

 private slots:
  // The tour as RegenerateManualPictures.sh runs it: a home of its own (the
  // settings and user tables), the C locale, no scaling.
  void initTestCase() {
    QVERIFY(tourOutput_.isValid() && tourHome_.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI", "QT_ENABLE_HIGHDPI_SCALING"})
      environment.remove(name);
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("LC_ALL", "C.UTF-8");
    environment.insert("HOME", tourHome_.path());
    QProcess tour;
    tour.setProcessEnvironment(environment);
    tour.start(QStringLiteral(TARNWELL_SCREENSHOT_TOUR), {tourOutput_.path()});
    QVERIFY(tour.waitForFinished(50000));
    QVERIFY2(tour.exitStatus() == QProcess::NormalExit && tour.exitCode() == 0,
             qPrintable("the screenshot tour failed: " + QString::fromLocal8Bit(tour.readAllStandardError())));
  }

  void picturesAreTheToursOutput_data() {
    QTest::addColumn<QString>("picture");
    const QStringList pictures = ManualPictures();
    QVERIFY2(!pictures.isEmpty(), "the manual shows no pictures");
    for (const QString& picture : pictures) QTest::newRow(qPrintable(picture)) << picture;
  }

  void picturesAreTheToursOutput() {
    QFETCH(QString, picture);
    QVERIFY2(picture.startsWith("images/") && !picture.mid(7).contains('/'),
             qPrintable(picture + " is not in images/, where the tour's pictures go"));
    const QString name = picture.mid(7);
    const QImage made(QDir(tourOutput_.path()).filePath(name));
    QVERIFY2(!made.isNull(), qPrintable("the screenshot tour does not draw " + name +
                                        ": draw it in tests/ui/ScreenshotTour.cpp, then " + kRegenerate));
    const QImage shipped(QStringLiteral(TARNWELL_MANUAL_SOURCE "/") + picture);
    QVERIFY2(!shipped.isNull(), qPrintable(picture + " is missing from resources/manual; " + kRegenerate));
    QVERIFY2(shipped.size() == made.size(),
             qPrintable(QStringLiteral("%1 is %2×%3, the tour now draws it %4×%5; %6")
                            .arg(picture)
                            .arg(shipped.width())
                            .arg(shipped.height())
                            .arg(made.width())
                            .arg(made.height())
                            .arg(kRegenerate)));
    const PixelDifference difference = Compare(shipped, made);
    QVERIFY2(difference.count == 0,
             qPrintable(QStringLiteral("%1 differs from the tour's output in %2 pixels, within x %3–%4, y %5–%6; %7")
                            .arg(picture)
                            .arg(difference.count)
                            .arg(difference.where.left())
                            .arg(difference.where.right())
                            .arg(difference.where.top())
                            .arg(difference.where.bottom())
                            .arg(kRegenerate)));
  }
};

QTEST_MAIN(ManualPicturesTest)
#include "ManualPicturesTest.moc"
