// The "-U" window: Next with the box ticked opens the uninstall page; with it cleared, or
// through the close box, nothing is opened. The window's own loop ends in every case.
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "gui/uninstall_window.h"
#include "gui/window_numbers.h"
#include "i18n/language_table.h"
#include "platform/product.h"
#include "tests/gui/support/scripted_dialogs.h"

namespace ravelin {

class UninstallWindowTest : public QObject {
  Q_OBJECT

  static QDialog* Window() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == QString::fromStdString(WindowName(kUninstallWindow)) && w->isVisible()) {
        return qobject_cast<QDialog*>(w);
      }
    }
    return nullptr;
  }
  template <typename Widget>
  static Widget* Control(QWidget* window, int control) {
    return window->findChild<Widget*>(QString::fromStdString(ControlName(kUninstallWindow, control)));
  }

 private slots:
  void initTestCase() { LoadLanguage(); }

  void NextAndCloseBoxEndTheWindow() {
    struct Case {
      const char* why;
      bool untick;
      bool closeBox;
      QStringList opened;
    };
    const Case cases[] = {
        {"Next with the box ticked", false, false, {QString(kWebSite) + "/ravelin/uninstall.html"}},
        {"Next with the box cleared", true, false, {}},
        {"close box", false, true, {}},
    };
    for (const Case& c : cases) {
      ScriptedDialogs dialogs;
      QString title;
      bool tickedAtFirst = false;
      QTimer::singleShot(0, [&] {
        QTRY_VERIFY(Window() != nullptr);
        QDialog* window = Window();
        title = window->windowTitle();
        auto* box = Control<QCheckBox>(window, kUninstallCheckBox);
        tickedAtFirst = box->isChecked();
        if (c.untick) QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
        if (c.closeBox) {
          window->close();
        } else {
          QTest::mouseClick(Control<QPushButton>(window, kUninstallNextButton), Qt::LeftButton);
        }
      });
      WindowContext context;
      RunUninstallWindow(context);  // returns only when the window has ended
      QVERIFY2(tickedAtFirst, c.why);
      QCOMPARE(title, QString("Uninstall"));
      QStringList opened;
      for (const auto& shown : dialogs.shown) opened << shown.kind + " " + shown.text;
      QStringList expected;
      for (const QString& target : c.opened) expected << "open " + target;
      QCOMPARE(opened, expected);
    }
  }
};

}  // namespace ravelin

QTEST_MAIN(ravelin::UninstallWindowTest)
#include "uninstall_window_test.moc"
