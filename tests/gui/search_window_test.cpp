// The search window: cleaning the extensions, the search page, the warning on empty fields,
// Return and Escape.
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "gui/search_window.h"
#include "gui/window_numbers.h"
#include "i18n/language_table.h"
#include "platform/product.h"
#include "tests/gui/support/scripted_dialogs.h"

namespace ravelin {

class SearchWindowTest : public QObject {
  Q_OBJECT

  WindowContext context_;

  static QDialog* Search(QWidget& main) {
    return main.findChild<QDialog*>(QString::fromStdString(WindowName(kSearchWindow)));
  }
  template <typename Widget>
  static Widget* Control(QWidget* window, int control) {
    return window->findChild<Widget*>(QString::fromStdString(ControlName(kSearchWindow, control)));
  }
  QDialog* Open(QWidget& main) {
    main.show();
    ShowSearchWindow(&main, context_);
    QDialog* search = Search(main);
    if (search != nullptr) (void)QTest::qWaitForWindowActive(search);
    return search;
  }

 private slots:
  void initTestCase() { LoadLanguage(); }

  void SearchExtensionCleans_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("dot and upper case") << ".BMP" << "bmp";
    QTest::newRow("blanks count among the 12") << "JPEG 2000 image" << "jpeg2000im";
    QTest::newRow("star-dot-star") << "*.*" << "";
    QTest::newRow("lone dot") << "." << "";
    QTest::newRow("letters beyond ASCII are dropped") << "t\u00EFff" << "tff";
    QTest::newRow("digits kept, cut at 12") << "abcdefghij123456" << "abcdefghij12";
  }
  void SearchExtensionCleans() {
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QCOMPARE(SearchExtension(typed), expected);
  }

  void OpensEmptyWithTheFocusInFrom() {
    QWidget main;
    QDialog* search = Open(main);
    QVERIFY(search != nullptr);
    QCOMPARE(search->windowTitle(), QString("Find a File Converter"));
    QCOMPARE(search->size(), QSize(370, 60));
    QCOMPARE(QApplication::activeModalWidget(), search);
    QVERIFY(Control<QLineEdit>(search, kSearchFromField)->text().isEmpty());
    QCOMPARE(QApplication::focusWidget(), Control<QLineEdit>(search, kSearchFromField));
  }

  void SearchOpensThePageAndCloses() {
    struct Case {
      const char* why;
      const char* from;
      const char* to;
      bool byReturn;
      const char* path;
    };
    const Case cases[] = {
        {"button", ".BMP", "Psd", false, "/find/bmp-psd/"},
        {"Return", "JPEG 2000 image", "tif", true, "/find/jpeg2000im-tif/"},
    };
    for (const Case& c : cases) {
      ScriptedDialogs dialogs;
      QWidget main;
      QDialog* search = Open(main);
      QVERIFY2(search != nullptr, c.why);
      QTest::keyClicks(Control<QLineEdit>(search, kSearchFromField), c.from);
      Control<QLineEdit>(search, kSearchToField)->setText(c.to);
      if (c.byReturn) {
        QTest::keyClick(Control<QLineEdit>(search, kSearchFromField), Qt::Key_Return);
      } else {
        QTest::mouseClick(Control<QPushButton>(search, kSearchButton), Qt::LeftButton);
      }
      QCOMPARE(dialogs.Kinds(), QStringList({"open"}));
      QCOMPARE(dialogs.Last().text, QString(kWebSite) + c.path);
      QTRY_VERIFY2(Search(main) == nullptr, c.why);
    }
  }

  void EmptyExtensionsWarnAndStay() {
    ScriptedDialogs dialogs;
    QWidget main;
    QDialog* search = Open(main);
    Control<QLineEdit>(search, kSearchFromField)->setText("*.*");
    Control<QLineEdit>(search, kSearchToField)->setText("psd");
    QTest::mouseClick(Control<QPushButton>(search, kSearchButton), Qt::LeftButton);
    QCOMPARE(dialogs.Kinds(), QStringList({"warning"}));
    QCOMPARE(dialogs.Last().text, QString("Please, fill all required fields and try again!"));
    QCoreApplication::processEvents();
    QCOMPARE(Search(main), search);
    QVERIFY(search->isVisible());
    QCOMPARE(Control<QLineEdit>(search, kSearchFromField)->text(), QString("*.*"));
  }

  void EscapeClosesWithoutSearching() {
    ScriptedDialogs dialogs;
    QWidget main;
    QDialog* search = Open(main);
    Control<QLineEdit>(search, kSearchFromField)->setText("bmp");
    Control<QLineEdit>(search, kSearchToField)->setText("psd");
    QTest::keyClick(Control<QLineEdit>(search, kSearchToField), Qt::Key_Escape);
    QTRY_VERIFY(Search(main) == nullptr);
    QVERIFY(dialogs.shown.empty());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
  }
};

}  // namespace ravelin

QTEST_MAIN(ravelin::SearchWindowTest)
#include "search_window_test.moc"
