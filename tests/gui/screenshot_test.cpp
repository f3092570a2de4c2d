// The screenshot mode: the folder it writes to and the two JPEG pictures of a window.
#include <QApplication>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "gui/screenshot.h"
#include "platform/files.h"

namespace ravelin {

class ScreenshotTest : public QObject {
  Q_OBJECT

 private slots:
  void FolderFromTheSecondParameter() {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString();
    struct Case {
      const char* why;
      std::vector<std::string> params;
      QString expected;
    };
    const Case cases[] = {
        {"folder given without a slash", {"-T", path}, dir.path() + "/"},
        {"folder given with a slash", {"-T", path + "/"}, dir.path() + "/"},
        {"no folder: the program's own", {"-T"}, QString::fromStdString(ProgramFolder())},
        {"empty folder: the program's own", {"-T", ""}, QString::fromStdString(ProgramFolder())},
        {"missing folder", {"-T", path + "/nowhere"}, QString()},
        {"a file is no folder", {"-T", "/proc/self/exe"}, QString()},
    };
    for (const Case& c : cases) {
      QVERIFY2(PrepareScreenshotFolder(c.params) == c.expected, c.why);
    }
  }

  void WritesBothPicturesOfTheWindow() {
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    QWidget window;
    // Without a frame the outer area is exactly the 510 x 260 the window is given.
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.setStyleSheet("background: white;");
    window.setGeometry(400, 400, 510, 260);
    window.show();
    QVERIFY(TakeScreenshots(&window, folder));

    const QImage full(ScreenshotPath(folder));
    QCOMPARE(full.size(), QSize(510, 260));
    QCOMPARE(QImageReader(ScreenshotPath(folder)).format(), QByteArray("jpeg"));
    // 180 / (510 / 260) = 91.76, rounded.
    QCOMPARE(QImage(ScreenshotThumbnailPath(folder)).size(), QSize(180, 92));
    QVERIFY(ScreenshotPath(folder).endsWith("/ravelin1.jpg"));
    QVERIFY(ScreenshotThumbnailPath(folder).endsWith("/ravelin1x.jpg"));

    // The address is written in black left of the lower right corner, within its line.
    int dark = 0;
    for (int y = 260 - 26; y < 260 - 26 + 11; ++y) {
      for (int x = 250; x < 510 - 35; ++x) dark += qGray(full.pixel(x, y)) < 96;
    }
    QVERIFY(dark > 50);
    int darkElsewhere = 0;
    for (int y = 10; y < 200; ++y) {
      for (int x = 10; x < 500; ++x) darkElsewhere += qGray(full.pixel(x, y)) < 96;
    }
    QCOMPARE(darkElsewhere, 0);
  }

  void TheOuterAreaIncludesTheFrame() {
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    QWidget window;
    window.setGeometry(400, 400, 510, 260);
    window.show();
    QVERIFY(TakeScreenshots(&window, folder));
    const QSize outer = window.frameGeometry().size();
    QCOMPARE(QImage(ScreenshotPath(folder)).size(), outer);
    QCOMPARE(QImage(ScreenshotThumbnailPath(folder)).size(),
             QSize(180, qRound(180.0 * outer.height() / outer.width())));
  }

  void ClosingTheWindowEndsTheWaitEarly() {
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    QWidget window;
    window.resize(100, 50);
    window.show();
    bool late = false;
    QTimer::singleShot(0, &window, &QWidget::close);
    QTimer::singleShot(400, &window, [&late] { late = true; });
    // The picture is still taken, as soon as the window has closed.
    QVERIFY(TakeScreenshots(&window, folder));
    QVERIFY(!late);
    QVERIFY(QFile::exists(ScreenshotThumbnailPath(folder)));
  }

  void AWindowDestroyedWhileWaitingGivesNoPicture() {
    QTemporaryDir dir;
    auto* window = new QWidget;
    window->show();
    QTimer::singleShot(0, window, &QObject::deleteLater);
    QVERIFY(!TakeScreenshots(window, dir.path() + "/"));
    QVERIFY(!QFile::exists(ScreenshotPath(dir.path() + "/")));
  }
};

}  // namespace ravelin

QTEST_MAIN(ravelin::ScreenshotTest)
#include "screenshot_test.moc"
