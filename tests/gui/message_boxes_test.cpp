// The answering interface: every box and requester of the windows goes through it.
#include <QApplication>
#include <QtTest>

#include "gui/message_boxes.h"
#include "i18n/language_table.h"
#include "tests/gui/support/scripted_dialogs.h"

namespace ravelin {

class MessageBoxesTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { LoadLanguage(); }

  void ShorthandsReachTheInstalledDialogs() {
    ScriptedDialogs dialogs;
    dialogs.yesNoAnswers = {true};
    ShowWarning(nullptr, "w");
    QVERIFY(AskYesNo(nullptr, "t", "q", AskIcon::Warning));
    QVERIFY(!AskYesNo(nullptr, "t", "q", AskIcon::Question));  // an empty queue answers No
    ShellOpen("mailto:x");
    QCOMPARE(dialogs.Kinds(), QStringList({"warning", "ask", "ask", "open"}));
    QCOMPARE(dialogs.Last().text, QString("mailto:x"));
  }

  void RemovedDialogsGoBackToTheQtOnes() {
    Dialogs* scripted = nullptr;
    {
      ScriptedDialogs dialogs;
      scripted = &CurrentDialogs();
      QCOMPARE(scripted, static_cast<Dialogs*>(&dialogs));
    }
    QVERIFY(&CurrentDialogs() != scripted);
  }
};

}  // namespace ravelin

QTEST_MAIN(ravelin::MessageBoxesTest)
#include "message_boxes_test.moc"
