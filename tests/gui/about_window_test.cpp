// The about window: its contents, its links through the shell and the ways it closes.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "gui/about_window.h"
#include "gui/window_numbers.h"
#include "i18n/language_table.h"
#include "platform/product.h"
#include "tests/gui/support/scripted_dialogs.h"

namespace ravelin {

class AboutWindowTest : public QObject {
  Q_OBJECT

  WindowContext context_;

  static QDialog* About(QWidget& main) {
    return main.findChild<QDialog*>(QString::fromStdString(WindowName(kAboutWindow)));
  }
  template <typename Widget>
  static Widget* Control(QWidget* window, int control) {
    return window->findChild<Widget*>(QString::fromStdString(ControlName(kAboutWindow, control)));
  }
  // Opens the about window over a shown main window and waits until it has the focus.
  static QDialog* Open(QWidget& main, WindowContext& context) {
    main.resize(510, 260);
    main.show();
    ShowAboutWindow(&main, context);
    QDialog* about = About(main);
    if (about != nullptr) (void)QTest::qWaitForWindowActive(about);
    return about;
  }

 private slots:
  void initTestCase() {
    LoadLanguage();
    context_.appTitle = "Veltrano BMP to PSD 2.6";
    context_.pictures.aboutBanner = QImage(360, 40, QImage::Format_RGB32);
    context_.pictures.aboutBanner.fill(Qt::darkBlue);
  }

  void ShowsTitleNoticeAndBannerOverABlockedMainWindow() {
    QWidget main;
    QDialog* about = Open(main, context_);
    QVERIFY(about != nullptr);
    QCOMPARE(about->windowTitle(), QString("About..."));
    QCOMPARE(about->size(), QSize(360, 240));
    QCOMPARE(QApplication::activeModalWidget(), about);
    QCOMPARE(Control<QLabel>(about, kAboutTitleLabel)->text(), QString("Veltrano BMP to PSD 2.6"));
    QVERIFY(Control<QLabel>(about, kAboutNoticeLabel)->text().contains("Veltrano Software"));
    QCOMPARE(Control<QLabel>(about, kAboutWebLabel)->text(), QString("Web:"));
    QCOMPARE(Control<QLabel>(about, kAboutWebLink)->text(), QString(kWebSite));
    QCOMPARE(Control<QLabel>(about, kAboutBanner)->pixmap().size(), QSize(360, 40));
    QCOMPARE(Control<QPushButton>(about, kAboutOkButton)->geometry(), QRect(140, 200, 80, 25));
  }

  void LinksOpenThroughTheShellAndLeaveItOpen() {
    ScriptedDialogs dialogs;
    QWidget main;
    QDialog* about = Open(main, context_);
    QTest::mouseClick(Control<QLabel>(about, kAboutWebLink), Qt::LeftButton);
    QTest::mouseClick(Control<QLabel>(about, kAboutEmailLink), Qt::LeftButton);
    QCOMPARE(dialogs.Kinds(), QStringList({"open", "open"}));
    QCOMPARE(dialogs.shown[0].text, QString(kWebSite));
    QCOMPARE(dialogs.shown[1].text, QString("mailto:") + kSupportAddress);
    QVERIFY(About(main) != nullptr && About(main)->isVisible());
  }

  void ReturnEscapeAndOkClose() {
    const std::function<void(QDialog*)> ways[] = {
        [](QDialog* w) { QTest::keyClick(w, Qt::Key_Return); },
        [](QDialog* w) { QTest::keyClick(w, Qt::Key_Escape); },
        [](QDialog* w) { QTest::mouseClick(Control<QPushButton>(w, kAboutOkButton), Qt::LeftButton); },
        [](QDialog* w) { w->close(); },  // the close box
    };
    for (const auto& close : ways) {
      ScriptedDialogs dialogs;
      QWidget main;
      QDialog* about = Open(main, context_);
      QVERIFY(about != nullptr);
      close(about);
      QTRY_VERIFY(About(main) == nullptr);
      QVERIFY(QApplication::activeModalWidget() == nullptr);
      QVERIFY(dialogs.shown.empty());
    }
  }
};

}  // namespace ravelin

QTEST_MAIN(ravelin::AboutWindowTest)
#include "about_window_test.moc"
