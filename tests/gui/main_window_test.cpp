// The main window as a user meets it: its controls by name with their texts, the size handler,
// adding files by drop and requester, the recent folder list, the commands' targets and the
// eight checks before a conversion.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QListWidget>
#include <QTimer>
#include <QtTest>

#include "gui/main_window.h"
#include "gui/window_numbers.h"
#include "i18n/language_table.h"
#include "settings/formats.h"
#include "tests/gui/support/isolated_session.h"
#include "tests/gui/support/scripted_dialogs.h"

namespace ravelin {

namespace {

template <typename T>
T* Control(QWidget& window, int control) {
  return window.findChild<T*>(QString::fromStdString(ControlName(kMainWindow, control)));
}

QAction* CommandAction(QWidget& window, int command) {
  return window.findChild<QAction*>(QString::fromStdString(CommandName(command)));
}

// What a file manager sends: the drag entering the window, then the drop.
void Drop(QWidget& window, QMimeData& data) {
  QDragEnterEvent enter(QPoint(50, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &enter);
  QDropEvent drop(QPointF(50, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &drop);
}

QString MakeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  file.write(bytes);
  return path;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT
  IsolatedSession session_;
  std::unique_ptr<WindowContext> context_;
  std::unique_ptr<MainWindow> window_;
  QString folder_;

  MainWindow& Open(int width = 510) {
    context_ = std::make_unique<WindowContext>();
    context_->appTitle = "Veltrano BMP to PSD 2.6";
    context_->settings.Width = width;
    window_ = std::make_unique<MainWindow>(*context_);
    window_->Prepare();
    QApplication::processEvents();
    return *window_;
  }
  QString Status() { return window_->findChild<QLabel*>(kStatusTextName)->text(); }
  QString Folder(const char* name) {
    QDir(folder_).mkpath(name);
    return folder_ + "/" + name + "/";
  }

 private slots:
  void initTestCase() {
    LoadLanguage();
    BuildFormatTables();
    folder_ = session_.Folder();
  }
  void cleanup() {
    window_.reset();
    context_.reset();
  }

  void ShowsItsControlsByNameWithTheirTexts() {
    MainWindow& w = Open();
    QCOMPARE(w.windowTitle(), QString("Veltrano BMP to PSD 2.6"));
    QCOMPARE(Control<QLabel>(w, kInputLabel)->text(), QString("Input File:"));
    QCOMPARE(Control<QLabel>(w, kOutputFolderLabel)->text(), QString("Output Folder:"));
    QCOMPARE(Control<QLabel>(w, kOutputFormatLabel)->text(), QString("Output Format:"));
    QVERIFY(Control<QLabel>(w, kNoticeLabel)->text().contains("Veltrano Software"));
    QCOMPARE(Control<QComboBox>(w, kOutputFormatList)->currentText(),
             QString("PSD (Adobe Photoshop)"));
    QCOMPARE(Status(), QString("Ready"));
    // Accessible names come from the labels.
    QCOMPARE(Control<QLineEdit>(w, kInputField)->accessibleName(), QString("Input File"));
    QCOMPARE(Control<QComboBox>(w, kOutputFolderList)->accessibleName(), QString("Output Folder"));
    QCOMPARE(Control<QComboBox>(w, kOutputFormatList)->accessibleName(), QString("Output Format"));
    QCOMPARE(Control<QPushButton>(w, kConvertButton)->accessibleName(), QString("Convert"));
    // Menu labels with their shortcut texts, toolbar tooltips without them.
    QCOMPARE(CommandAction(w, kCommandNew)->text(), QString("New\tCtrl+N"));
    QCOMPARE(CommandAction(w, kCommandExit)->shortcut(), QKeySequence("Alt+X"));
    QCOMPARE(CommandAction(w, kCommandConvert)->shortcut(), QKeySequence("F5"));
    QCOMPARE(CommandAction(w, kCommandManual)->toolTip(), QString("User Manual..."));
    auto* field1 = w.findChild<QToolButton*>(QString::fromStdString(FieldButtonName(1)));
    QCOMPARE(field1->toolTip(), QString("Add Input File..."));
    QCOMPARE(field1->accessibleName(), QString("Add Input File..."));
    auto* field3 = w.findChild<QToolButton*>(QString::fromStdString(FieldButtonName(3)));
    QCOMPARE(field3->toolTip(), QString("Options..."));
    // The main toolbar in its order, with its three separators.
    QStringList order;
    for (QAction* action : w.findChild<QToolBar*>(kMainToolbarName)->actions()) {
      order << (action->isSeparator() ? QString("|") : action->objectName());
    }
    QCOMPARE(order.join(' '),
             QString("cmd0 cmd5 cmd7 | cmd17 | cmd14 | cmd18 cmd21 cmd22 cmd23"));
    QCOMPARE(w.menuBar()->actions().size(), 3);
    // The titles open with Alt and their first letter.
    QCOMPARE(w.menuBar()->actions()[2]->text(), QString("&Help"));
  }

  void KeepsTheFocusOrder() {
    MainWindow& w = Open();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTRY_COMPARE(QApplication::focusWidget(), Control<QWidget>(w, kInputField));
    const int order[] = {kOutputFolderList, kOutputFormatList, kConvertButton};
    for (int control : order) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), Control<QWidget>(w, control));
    }
  }

  void WorksByKeyboard() {
    MainWindow& w = Open();
    ScriptedDialogs dialogs;
    context_->settings.RecentOutFolders = "/a/\t/b/";
    w.RefreshOutFolderList();
    auto* folders = Control<QComboBox>(w, kOutputFolderList);
    folders->setFocus();
    QTest::keyClick(folders, Qt::Key_Down);
    QCOMPARE(folders->currentText(), QString("/b/"));
    QCOMPARE(context_->job.OutputFolder, std::string("/b/"));
    // F5 converts (here: refused for the empty input), Ctrl+N starts anew, Alt+X ends.
    QTest::keyClick(&w, Qt::Key_F5);
    QCOMPARE(dialogs.Last().kind, QString("warning"));
    QTest::keyClick(&w, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(Status(), QString("Ready"));
    QVERIFY(w.isVisible());
    QTest::keyClick(&w, Qt::Key_X, Qt::AltModifier);
    QVERIFY(!w.isVisible());
  }

  void LaysOutForTheWidth() {
    for (int width : {510, 610}) {
      MainWindow& w = Open(width);
      QTRY_COMPARE(w.width(), width);
      QCOMPARE(w.height(), 260);
      const int extra = width - 510;
      for (int field : {kInputField, kOutputFolderList, kOutputFormatList}) {
        QCOMPARE(Control<QWidget>(w, field)->width(), 350 + extra);
        QCOMPARE(Control<QWidget>(w, field)->x(), 10);
      }
      const int fieldY[] = {19, 59, 99};
      for (int i = 1; i <= 3; ++i) {
        auto* button = w.findChild<QToolButton*>(QString::fromStdString(FieldButtonName(i)));
        QCOMPARE(button->geometry(), QRect(364 + extra, fieldY[i - 1], 24, 24));
      }
      QCOMPARE(Control<QWidget>(w, kConvertButton)->geometry(), QRect(400 + extra, 20, 100, 100));
      // The container's height takes the real bar heights.
      const int bars = w.menuBar()->height() + w.findChild<QToolBar*>(kMainToolbarName)->height() +
                       w.statusBar()->height();
      QCOMPARE(Control<QWidget>(w, kMainContainer)->height(), 260 - bars - 40);
    }
    // Bounds: never narrower than 510, never another height than 260.
    MainWindow& w = Open();
    w.resize(300, 500);
    QCOMPARE(w.size(), QSize(510, 260));
  }

  void AcceptsFilesByTheirExtensionAndSize() {
    struct Case { const char* why; const char* name; QByteArray bytes; bool accepted; };
    const Case cases[] = {
        {"bmp", "a.bmp", "BM..", true},
        {"upper-case extension", "b.BMP", "BM..", true},
        {"dib", "c.dib", "BM..", true},
        {"rle", "d.rle", "BM..", true},
        {"png is not an input", "e.png", "x", false},
        {"no extension", "f", "x", false},
        {"empty file", "g.bmp", "", false},
    };
    for (const Case& c : cases) {
      MainWindow& w = Open();
      const QString path = MakeFile(folder_ + "/" + c.name, c.bytes);
      QVERIFY2(w.AddInputFileInWindow(path.toStdString()) == c.accepted, c.why);
      QVERIFY2(Control<QLineEdit>(w, kInputField)->text() == (c.accepted ? path : QString()),
               c.why);
    }
    // A missing bmp passes: only the conversion finds it missing.
    MainWindow& w = Open();
    QVERIFY(w.AddInputFileInWindow((folder_ + "/missing.bmp").toStdString()));
  }

  void FirstFileChoosesTheOutputFolderLaterOnesKeepIt() {
    MainWindow& w = Open();
    const QString one = Folder("one"), two = Folder("two");
    const QString first = MakeFile(one + "a.BMP", "BM");
    const QString second = MakeFile(two + "b.bmp", "BM");
    QVERIFY(w.AddInputFileInWindow(first.toStdString()));
    auto* folders = Control<QComboBox>(w, kOutputFolderList);
    QCOMPARE(folders->currentText(), one);
    QCOMPARE(context_->settings.RecentOutFolders, one.toStdString());
    QVERIFY(w.AddInputFileInWindow(second.toStdString()));
    QCOMPARE(Control<QLineEdit>(w, kInputField)->text(), second);
    QCOMPARE(folders->currentText(), one);
    QCOMPARE(context_->list.size(), size_t(1));
    QCOMPARE(QString::fromStdString(context_->list.begin()->first), second);

    // "New" empties the field, clears the folder selection and says "Ready".
    w.SetStatusText("x");
    CommandAction(w, kCommandNew)->trigger();
    QCOMPARE(Control<QLineEdit>(w, kInputField)->text(), QString());
    QCOMPARE(folders->currentText(), QString());
    QCOMPARE(folders->count(), 1);
    QCOMPARE(Status(), QString("Ready"));
    QVERIFY(context_->list.empty());
  }

  void DropAddsOnlyTheFirstFile() {
    MainWindow& w = Open();
    const QString a = MakeFile(Folder("drop") + "a.bmp", "BM");
    const QString b = MakeFile(Folder("drop") + "b.bmp", "BM");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b), QUrl::fromLocalFile(a)});
    Drop(w, data);
    QCOMPARE(Control<QLineEdit>(w, kInputField)->text(), a);
    // Text that is not a file is ignored.
    QMimeData text;
    text.setText("hello");
    Drop(w, text);
    QCOMPARE(Control<QLineEdit>(w, kInputField)->text(), a);
  }

  void RequestersAddFilesAndFolders() {
    MainWindow& w = Open();
    ScriptedDialogs dialogs;
    const QString file = MakeFile(Folder("req") + "pic.dib", "BM");
    dialogs.fileAnswers = {file};
    QVERIFY(w.SelectInputFile());
    QCOMPARE(dialogs.Last().title, QString("Select Input Files"));
    QVERIFY(dialogs.Last().text.contains("All Supported Files ("));
    QVERIFY(dialogs.Last().text.contains("*.bmp"));
    QCOMPARE(QString::fromStdString(context_->job.InputPath), file);

    // A chosen folder gets its "/" and goes first; a folder that does not exist is ignored.
    const QString out = Folder("out");
    dialogs.folderAnswers = {out.chopped(1), folder_ + "/nowhere"};
    CommandAction(w, kCommandSelectOutputFolder)->trigger();
    QCOMPARE(Control<QComboBox>(w, kOutputFolderList)->currentText(), out);
    QCOMPARE(RecentFirst(), out.toStdString());
    CommandAction(w, kCommandSelectOutputFolder)->trigger();
    QCOMPARE(Control<QComboBox>(w, kOutputFolderList)->currentText(), out);
  }

  void AppliesInterfaceChanges() {
    MainWindow& w = Open();
    auto* toolbar = w.findChild<QToolBar*>(kMainToolbarName);
    QCOMPARE(toolbar->iconSize(), QSize(32, 32));
    // Only the icon size changed: a new toolbar with the new size, the mark cleared.
    context_->settings.UISize = 4;
    context_->refreshMark = 2;
    w.ApplyInterfaceChanges();
    QCOMPARE(context_->refreshMark, 0);
    toolbar = w.findChild<QToolBar*>(kMainToolbarName);
    QCOMPARE(toolbar->iconSize(), QSize(64, 64));
    QCOMPARE(w.findChildren<QToolBar*>(kMainToolbarName).size(), 1);
    QCOMPARE(CommandAction(w, kCommandNew)->text(), QString("New\tCtrl+N"));
    // The recent folder list follows a changed number of folders.
    context_->settings.RecentOutFolders = "/a/\t/b/\t/c/";
    context_->settings.OutFoldersNumber = 2;
    context_->refreshMark = 1;
    w.ApplyInterfaceChanges(0);
    QCOMPARE(context_->refreshMark, 0);
    QCOMPARE(Control<QComboBox>(w, kOutputFolderList)->count(), 2);
    QCOMPARE(w.findChildren<QToolButton*>(QString::fromStdString(FieldButtonName(1))).size(), 1);
  }

  void HelpCommandsOpenTheirTargets() {
    MainWindow& w = Open();
    ScriptedDialogs dialogs;
    for (int command : {kCommandManual, kCommandSendFeedback, kCommandVisitHomepage}) {
      CommandAction(w, command)->trigger();
    }
    QCOMPARE(dialogs.Kinds(), QStringList({"open", "open", "open"}));
    QCOMPARE(dialogs.shown[0].text, QString("ravelin.chm"));
    QCOMPARE(dialogs.shown[1].text,
             QString("mailto:support@veltrano.example?subject=Veltrano BMP to PSD 2.6 Feedback"));
    QCOMPARE(dialogs.shown[2].text, QString("https://www.veltrano.example/ravelin/"));
  }

  void CommandsOpenTheirWindows() {
    MainWindow& w = Open();
    ScriptedDialogs dialogs;
    struct Case {
      int command;
      const char* window;
      int startPage;  // the preferences page shown, or -1
    };
    const Case cases[] = {{kCommandPreferences, "w1", 0},
                          {kCommandOutputFormatOptions, "w1", 3},
                          {kCommandCustomConverter, "w6", -1},
                          {kCommandAbout, "w8", -1}};
    for (const Case& c : cases) {
      QString opened;
      int page = -1;
      // The window is modal: it is looked at and closed from the event loop it runs.
      QTimer::singleShot(0, [&] {
        QWidget* shown = nullptr;
        QTRY_VERIFY((shown = QApplication::activeModalWidget()) != nullptr);
        opened = shown->objectName();
        if (auto* pages = shown->findChild<QListWidget*>()) page = pages->currentRow();
        shown->close();
      });
      CommandAction(w, c.command)->trigger();
      QTRY_COMPARE(opened, QString(c.window));
      if (c.startPage >= 0) QCOMPARE(page, c.startPage);
      QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    }
  }

  void ChecksBeforeConverting() {
    const QString bmp = MakeFile(Folder("in") + "in.bmp", "BM");
    const QString out = Folder("checked");
    const QString image = MakeFile(folder_ + "/empty.png", "");
    struct Case {
      const char* why;
      QString input;
      bool chooseFolder;
      std::function<void(Settings&)> change;
      QString warning;
      QString status;
    };
    const QString stopped = "Conversion stopped", preparing = "Preparing...";
    const Case cases[] = {
        {"empty input", "", false, {},
         "No input file(s) found. Please, add valid file(s) and try again!", stopped},
        {"a png is no input", folder_ + "/e.png", false, {},
         "No input file(s) found. Please, add valid file(s) and try again!", stopped},
        {"no output folder", bmp, false, {},
         "The output folder's field is empty. Please, select existed output folder and try again!",
         stopped},
        {"output folder gone", bmp, true, [&](Settings&) { QDir(out).removeRecursively(); },
         "The following output folder is invalid or doesn't exist:\r\n" + out +
             "\r\n\r\nPlease, correct the output path and try again!", stopped},
        {"resize width 0", bmp, true,
         [](Settings& s) { s.DoImageResize = 1; s.ImageWidth = 0; s.ImageHeight = 480; },
         "Invalid resize width value!", stopped},
        {"resize height 0", bmp, true,
         [](Settings& s) { s.DoImageResize = 1; s.ImageWidth = 640; s.ImageHeight = 0; },
         "Invalid resize height value!", stopped},
        {"font that does not exist", bmp, true,
         [](Settings& s) { s.DoWatermark = 1; s.Font = "NoSuchFont123"; },
         "Unable to load selected font for a watermark: NoSuchFont123", preparing},
        {"no watermark image", bmp, true, [](Settings& s) { s.DoWatermark = 2; s.Image = ""; },
         "Selected watermark image is invalid/empty!", preparing},
        {"empty watermark image", bmp, true,
         [&](Settings& s) { s.DoWatermark = 2; s.Image = image.toStdString(); },
         "Unable to load selected file as a watermark image: " + image, preparing},
    };
    for (const Case& c : cases) {
      QDir(folder_).mkpath("checked");
      MainWindow& w = Open();
      ScriptedDialogs dialogs;
      if (c.chooseFolder) {
        dialogs.folderAnswers = {out};
        w.SelectOutputFolder();
      }
      Control<QLineEdit>(w, kInputField)->setText(c.input);
      if (c.change) c.change(context_->settings);
      CommandAction(w, kCommandConvert)->trigger();
      QVERIFY2(dialogs.Last().kind == "warning", c.why);
      QVERIFY2(dialogs.Last().text == c.warning, qPrintable(dialogs.Last().text));
      QVERIFY2(Status() == c.status, c.why);
    }
  }

 private:
  std::string RecentFirst() { return context_->settings.RecentOutFolders.substr(
      0, context_->settings.RecentOutFolders.find('\t')); }
};

}  // namespace ravelin

QTEST_MAIN(ravelin::MainWindowTest)
#include "main_window_test.moc"
