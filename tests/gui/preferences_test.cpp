// The preferences window, driven as a person would: filled from the settings, edited, and
// ended by OK, Defaults, Cancel, Escape or the close box; requesters answered by script.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "gui/preferences/preferences_window.h"
#include "gui/window_numbers.h"
#include "i18n/language_table.h"
#include "settings/config_file.h"
#include "settings/formats.h"
#include "tests/gui/support/isolated_session.h"
#include "tests/gui/support/scripted_dialogs.h"

namespace ravelin {
namespace {

QString Name(int control) {
  return QString::fromStdString(ControlName(kPreferencesWindow, control));
}

// A session with its own configuration file, a main window and the window's last result.
struct Session {
  IsolatedSession folders;
  QWidget mainWindow;
  WindowContext context;
  int applied = 0;
  bool result = false;

  Session() {
    ResetSettings(context.settings, false);
    context.settings.ConfigPath = (folders.Folder() + "/config.ini").toStdString();
    context.themeNames = {{"handdrawn", ""}, {"flat", "Flat Icons"}};
  }

  // Opens the window and runs `whileOpen` in it; a window the script left open is cancelled.
  void Open(const std::function<void(PreferencesWindow&)>& whileOpen) {
    QTimer::singleShot(0, [&] {
      auto* window = qobject_cast<PreferencesWindow*>(QApplication::activeModalWidget());
      if (window == nullptr) return;
      whileOpen(*window);
      if (window->isVisible()) window->reject();
    });
    result = OpenPreferences(&mainWindow, context, [this] { ++applied; });
  }
  bool Saved() const { return QFile::exists(QString::fromStdString(context.settings.ConfigPath)); }
};

template <typename T>
T* Control(QWidget& window, const char* name) {
  T* control = window.findChild<T*>(name);
  if (control == nullptr) qWarning("no control %s", name);
  return control;
}

void Click(QWidget& window, int control) {
  QTest::mouseClick(Control<QPushButton>(window, Name(control).toUtf8().constData()),
                    Qt::LeftButton);
}

// What a control shows: the index of a drop-down, the state of a check box, the text of a
// field, the value of a spin box or date field.
QVariant Shown(QWidget* control) {
  if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->currentIndex();
  if (auto* check = qobject_cast<QCheckBox*>(control)) return check->isChecked();
  if (auto* spin = qobject_cast<QSpinBox*>(control)) return spin->value();
  if (auto* date = qobject_cast<QDateTimeEdit*>(control)) {
    return date->dateTime().toSecsSinceEpoch();
  }
  if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text();
  return {};
}

void Type(QSpinBox* spin, const QString& text) {
  spin->setFocus();
  spin->selectAll();
  QTest::keyClicks(spin, text);
  QTest::keyClick(spin, Qt::Key_Return);
}

void SetField(Settings& settings, const SettingsField& field, const QVariant& value) {
  if (auto text = std::get_if<std::string Settings::*>(&field)) {
    settings.**text = value.toString().toStdString();
  } else if (auto real = std::get_if<float Settings::*>(&field)) {
    settings.**real = value.toFloat();
  } else {
    AssignInteger(settings, field, value.toInt());
  }
}
QVariant GetField(const Settings& settings, const SettingsField& field) {
  return QString::fromStdString(FormatField(settings, field));
}

// Shown once its page is the one on screen: nothing between it and its page is hidden.
bool ShownOnItsPage(QWidget* control) {
  for (QWidget* w = control; w != nullptr; w = w->parentWidget()) {
    if (qobject_cast<QStackedWidget*>(w->parentWidget()) != nullptr) return true;
    if (w->isHidden()) return false;
  }
  return false;
}

// Keys of formats this converter does not offer stay out of the configuration file.
bool WrittenAlways(const SettingsField& field) {
  for (size_t i = 0; i < SettingsLayoutSize(); ++i) {
    if (SettingsLayout()[i].field == field) {
      return SettingsLayout()[i].written == WrittenWhen::Always;
    }
  }
  return false;
}

using S = Settings;

}  // namespace

class PreferencesTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    LoadLanguage();
    BuildFormatTables();
  }

  // Every kind of control on every page: filled from its setting, and copied back by OK.
  void ControlsAreFilledAndStoredByOk() {
    struct Row {
      const char* control;
      SettingsField field;
      QVariant value;
      QVariant shown;
      QVariant stored;  // as the configuration file writes it
    };
    const Row rows[] = {
        {"General/Update Range", &S::UpdateRange, 4, 4, "4"},
        {"General/Save Window Position", &S::SaveWindowPosition, 0, false, "0"},
        {"Interface/UI Size", &S::UISize, 1, 1, "1"},
        {"Output/PSD BPP", &S::PSDBPP, 32, 1, "32"},
        {"Output/JPG Quality", &S::JPGQuality, 40, 40, "40"},
        {"Output/TIFF Compression", &S::TIFFCompression, 6, 6, "6"},
        {"Output/PNG Interlaced", &S::PNGInterlaced, 1, true, "1"},
        {"Input/RAW Header Size", &S::RAWHeaderSize, 128, "128", "128"},
        {"Input/RAW Tone Mapping", &S::RAWToneMapping, 4, 4, "4"},
        {"Transform/Do Image Rotation", &S::DoImageRotation, 1, true, "1"},
        {"Transform/Image Rotation", &S::ImageRotation, 90, 90, "90"},
        {"Transform/Image Rotation Back Color", &S::ImageRotationBackColor, "00ff80", "00FF80",
         "00FF80"},
        {"Transform/Image Width", &S::ImageWidth, 640, "640", "640"},
        {"Transform/Image Width Unit", &S::ImageWidthUnit, 1, 1, "1"},
        {"Adjustment/Image Brightness", &S::ImageBrightness, -30, -30, "-30"},
        {"Adjustment/Image Gamma", &S::ImageGamma, 2.5, 250, "2.500000"},
        {"Adjustment/Image Dither Algorithm", &S::ImageDitherAlgorithm, 6, 6, "6"},
        {"Frame/Do Frame", &S::DoFrame, 1, 1, "1"},
        {"Frame/Solid Top", &S::SolidTop, 7, "7", "7"},
        {"Frame/Solid Left Color", &S::SolidLeftColor, "C0C0C0", "C0C0C0", "C0C0C0"},
        {"Frame/Solid Opacity", &S::SolidOpacity, 128, 128, "128"},
        {"Watermark/Do Watermark", &S::DoWatermark, 2, 2, "2"},
        {"Watermark/Text", &S::Text, "Hello", "Hello", "Hello"},
        {"Watermark/Font Color", &S::FontColor, "FF0000", 2, "FF0000"},
        {"Watermark/Back Color", &S::BackColor, "FFFFFF", 1, "FFFFFF"},
        {"Watermark/Font Style", &S::FontStyle, 3, 3, "3"},
        {"Watermark/Text Position", &S::TextPosition, 4, 4, "4"},
        {"Watermark/Image", &S::Image, "/pictures/logo.png", "/pictures/logo.png",
         "/pictures/logo.png"},
        {"Watermark/Image Rotation", &S::WatermarkImageRotation, 45, 45, "45"},
        {"Advanced/Filename Mask", &S::FilenameMask, "%filename%_x.%ext%",
         "%filename%_x.%ext%", "%filename%_x.%ext%"},
        {"Advanced/File Timestamp", &S::FileTimestamp, 2, 2, "2"},
        {"Advanced/Custom Timestamp", &S::CustomTimestamp, 31536000, 31536000, "31536000"},
        {"Advanced/Out Folders Number", &S::OutFoldersNumber, 12, 12, "12"},
    };
    Session session;
    for (const Row& row : rows) SetField(session.context.settings, row.field, row.value);
    session.Open([&](PreferencesWindow& window) {
      for (const Row& row : rows) {
        QWidget* control = Control<QWidget>(window, row.control);
        QVERIFY2(control != nullptr, row.control);
        QCOMPARE(Shown(control), row.shown);
      }
      // Only the controls hold the values now: OK must bring every one of them back.
      const std::string path = session.context.settings.ConfigPath;
      ResetSettings(session.context.settings, false);
      session.context.settings.ConfigPath = path;
      Click(window, kPrefsOkButton);
    });
    QVERIFY(session.result);
    QCOMPARE(session.applied, 1);
    Settings saved;
    saved.ConfigPath = session.context.settings.ConfigPath;
    LoadSettings(saved);
    for (const Row& row : rows) {
      QCOMPARE(GetField(session.context.settings, row.field), row.stored);
      if (WrittenAlways(row.field)) QCOMPARE(GetField(saved, row.field), row.stored);
    }
    QCOMPARE(session.context.settings.Language, std::string("en"));
  }

  void CancelEscapeAndCloseDiscardTheEdits() {
    const std::function<void(PreferencesWindow&)> endings[] = {
        [](PreferencesWindow& window) { Click(window, kPrefsCancelButton); },
        [](PreferencesWindow& window) { QTest::keyClick(&window, Qt::Key_Escape); },
        [](PreferencesWindow& window) { window.close(); },
    };
    for (const auto& end : endings) {
      Session session;
      session.Open([&](PreferencesWindow& window) {
        QVERIFY(!session.mainWindow.isEnabled());
        QVERIFY(window.isEnabled());
        Control<QSpinBox>(window, "Output/JPG Quality")->setValue(10);
        Control<QLineEdit>(window, "Watermark/Text")->setText("changed");
        end(window);
        QVERIFY(!window.isVisible());
      });
      QVERIFY(!session.result);
      QVERIFY(session.mainWindow.isEnabled());
      QCOMPARE(session.context.settings.JPGQuality, 95);
      QVERIFY(session.context.settings.Text != "changed");
      QCOMPARE(session.applied, 0);
      QVERIFY(!session.Saved());
    }
  }

  void DefaultsAskFirstThenResetAndSave() {
    Session session;
    session.context.settings.JPGQuality = 40;
    session.context.settings.UITheme = "flat";
    ScriptedDialogs dialogs;
    dialogs.yesNoAnswers = {false, true};
    session.Open([&](PreferencesWindow& window) {
      Click(window, kPrefsDefaultsButton);
      QVERIFY(window.isVisible());  // No: nothing happens
      QCOMPARE(session.context.settings.JPGQuality, 40);
      QVERIFY(!session.Saved());
      Click(window, kPrefsDefaultsButton);
      QVERIFY(!window.isVisible());
    });
    QCOMPARE(dialogs.Kinds(), QStringList({"ask", "ask"}));
    QCOMPARE(dialogs.Last().title, QString("Reset to Defaults"));
    QVERIFY(session.result);
    QCOMPARE(session.context.settings.JPGQuality, 95);
    QCOMPARE(session.context.settings.UITheme, std::string("handdrawn"));
    // The window still showed "flat", which the reset takes away: the theme must be reloaded.
    QCOMPARE(session.context.refreshMark, 1);
    QCOMPARE(session.applied, 1);
    QVERIFY(session.Saved());
  }

  void TypedValuesAreClampedToTheirRanges() {
    struct Case {
      const char* why;
      const char* spin;
      const char* typed;
      int value;
      const char* text;
      int slider;
    };
    const Case cases[] = {
        {"above the quality range", "Output/JPG Quality", "150", 100, "100", 100},
        {"below the brightness range", "Adjustment/Image Brightness", "-120", -100, "-100", 0},
        {"brightness slider is offset", "Adjustment/Image Contrast", "25", 25, "25", 125},
        {"gamma read as a decimal", "Adjustment/Image Gamma", "2.5", 250, "2.50", 250},
        {"gamma above its range", "Adjustment/Image Gamma", "12", 999, "9.99", 999},
        {"gamma below its range", "Adjustment/Image Gamma", "0", 1, "0.01", 1},
        {"gamma rounded to hundredths", "Adjustment/Image Gamma", "1.234", 123, "1.23", 123},
        {"opacity has no zero", "Frame/Solid Opacity", "0", 1, "1", 1},
    };
    Session session;
    session.Open([&](PreferencesWindow& window) {
      for (const Case& c : cases) {
        QSpinBox* spin = Control<QSpinBox>(window, c.spin);
        Type(spin, c.typed);
        const QString slider = QString(c.spin) + " slider";
        QVERIFY2(spin->value() == c.value, c.why);
        QVERIFY2(spin->text() == c.text, c.why);
        QVERIFY2(Control<QSlider>(window, slider.toUtf8().constData())->value() == c.slider,
                 c.why);
      }
      // Moving a slider sets its spin box.
      Control<QSlider>(window, "Adjustment/Image Brightness slider")->setValue(150);
      QCOMPARE(Control<QSpinBox>(window, "Adjustment/Image Brightness")->value(), 50);
      Control<QSlider>(window, "Adjustment/Image Gamma slider")->setValue(75);
      QCOMPARE(Control<QSpinBox>(window, "Adjustment/Image Gamma")->text(), QString("0.75"));
      Click(window, kPrefsOkButton);
    });
    QCOMPARE(session.context.settings.JPGQuality, 100);
    QCOMPARE(session.context.settings.ImageBrightness, 50);
    QCOMPARE(session.context.settings.ImageGamma, 0.75f);
  }

  // A hand-edited configuration can hold anything; the controls show the nearest valid value
  // and OK stores that.
  void StoredValuesOutOfRangeShowTheNearestValid() {
    struct Case {
      const char* control;
      SettingsField field;
      QVariant stored;
      QVariant shown;
    };
    const Case cases[] = {
        {"Output/JPG Quality", &S::JPGQuality, 500, 100},
        {"Adjustment/Image Brightness", &S::ImageBrightness, -999, -100},
        {"Adjustment/Image Gamma", &S::ImageGamma, 20.0, 999},
        {"General/Update Range", &S::UpdateRange, 9, 5},
        {"Transform/Image Resize Algorithm", &S::ImageResizeAlgorithm, -3, 0},
        {"Input/RAW Header Size", &S::RAWHeaderSize, -5, "0"},
        {"Frame/Solid Opacity", &S::SolidOpacity, 0, 1},
        {"Advanced/Out Folders Number", &S::OutFoldersNumber, 90, 50},
        {"Advanced/Custom Timestamp", &S::CustomTimestamp, -100, 0},
        {"Output/PSD BPP", &S::PSDBPP, 7, 0},
    };
    Session session;
    for (const Case& c : cases) SetField(session.context.settings, c.field, c.stored);
    session.Open([&](PreferencesWindow& window) {
      for (const Case& c : cases) QCOMPARE(Shown(Control<QWidget>(window, c.control)), c.shown);
      Click(window, kPrefsOkButton);
    });
    QCOMPARE(session.context.settings.JPGQuality, 100);
    QCOMPARE(session.context.settings.UpdateRange, 5);
    QCOMPARE(session.context.settings.ImageGamma, 9.99f);
    QCOMPARE(session.context.settings.PSDBPP, 0);
  }

  void OkDerivesColorCorrectionAndCleansTexts() {
    struct Case {
      const char* why;
      int brightness;
      int contrast;
      float gamma;
      int invert;
      int expected;
    };
    const Case cases[] = {
        {"all neutral", 0, 0, 1.0f, 0, 0},
        {"brightness", 5, 0, 1.0f, 0, 1},
        {"contrast", 0, -1, 1.0f, 0, 1},
        {"gamma", 0, 0, 1.01f, 0, 1},
        {"invert", 0, 0, 1.0f, 1, 1},
    };
    for (const Case& c : cases) {
      Session session;
      Settings& settings = session.context.settings;
      settings.DoImageColorCorrection = 1 - c.expected;
      settings.ImageBrightness = c.brightness;
      settings.ImageContrast = c.contrast;
      settings.ImageGamma = c.gamma;
      settings.ImageInvert = static_cast<Flag>(c.invert);
      session.Open([&](PreferencesWindow& window) {
        Control<QLineEdit>(window, "Watermark/Text")->setText("  Hello\tWorld  ");
        Control<QLineEdit>(window, "Advanced/Filename Mask")->setText(" %filename%\t.%ext% ");
        Click(window, kPrefsOkButton);
      });
      QVERIFY2(settings.DoImageColorCorrection == c.expected, c.why);
      QCOMPARE(settings.Text, std::string("HelloWorld"));
      QCOMPARE(settings.FilenameMask, std::string("%filename%.%ext%"));
    }
  }

  void KeepSubfoldersIsHiddenAndSurvivesOk() {
    Session session;
    session.context.settings.KeepSubfolders = 0;
    session.Open([&](PreferencesWindow& window) {
      QVERIFY(Control<QCheckBox>(window, "Advanced/Keep Subfolders")->parentWidget()->isHidden());
      Click(window, kPrefsOkButton);
    });
    QCOMPARE(session.context.settings.KeepSubfolders, 0);
  }

  // The requesters add to the three history lists at once, whatever ends the window.
  void RequestersGrowTheHistoryListsEvenAfterCancel() {
    Session session;
    Settings& settings = session.context.settings;
    settings.Fonts = "Arial,Tahoma";
    settings.FontColors = "000000,FF0000";
    settings.BackColors = "000000";
    ScriptedDialogs dialogs;
    dialogs.colorAnswers = {QColor(0x12, 0x34, 0x56), QColor(0xFF, 0, 0), std::nullopt,
                            QColor(0xFF, 0xFF, 0xFF)};
    dialogs.fontAnswers = {FontChoice{"DejaVu, Sans", 20, true, true}, FontChoice{"Tahoma", 9}};
    session.Open([&](PreferencesWindow& window) {
      auto* fontColor = Control<QComboBox>(window, "Watermark/Font Color");
      auto* dots = Control<QPushButton>(window, "Watermark/Font Color button");
      QTest::mouseClick(dots, Qt::LeftButton);  // a new colour
      QCOMPARE(fontColor->currentText(), QString("Color #123456"));
      QTest::mouseClick(dots, Qt::LeftButton);  // one already listed
      QCOMPARE(fontColor->currentText(), QString("Red"));
      QCOMPARE(fontColor->count(), 3);
      QTest::mouseClick(dots, Qt::LeftButton);  // cancelled
      QCOMPARE(fontColor->currentText(), QString("Red"));
      QTest::mouseClick(Control<QPushButton>(window, "Watermark/Back Color button"),
                        Qt::LeftButton);
      QCOMPARE(Control<QComboBox>(window, "Watermark/Back Color")->currentText(),
               QString("White"));

      auto* font = Control<QPushButton>(window, "Watermark/Font button");
      QTest::mouseClick(font, Qt::LeftButton);
      QCOMPARE(Control<QComboBox>(window, "Watermark/Font")->currentText(), QString("DejaVu Sans"));
      QCOMPARE(Control<QLineEdit>(window, "Watermark/Font Size")->text(), QString("20"));
      QCOMPARE(Control<QComboBox>(window, "Watermark/Font Style")->currentIndex(), 3);
      QTest::mouseClick(font, Qt::LeftButton);  // already listed: the list stays
      QCOMPARE(Control<QComboBox>(window, "Watermark/Font Style")->currentIndex(), 0);
      Click(window, kPrefsCancelButton);
    });
    QCOMPARE(dialogs.Kinds(), QStringList({"color", "color", "color", "color", "font", "font"}));
    QCOMPARE(settings.FontColors, std::string("000000,FF0000,123456"));
    QCOMPARE(settings.BackColors, std::string("000000,FFFFFF"));
    QCOMPARE(settings.Fonts, std::string("Arial,Tahoma,DejaVu Sans"));
    QCOMPARE(settings.FontColor, std::string("FFFFFF"));
    QCOMPARE(settings.Font, std::string("Arial"));
  }

  void AnEmptyFontListStartsWithTheFontInUse() {
    Session session;
    session.context.settings.Fonts = "";
    session.context.settings.Font = "Verdana";
    session.Open([&](PreferencesWindow& window) {
      QCOMPARE(Control<QComboBox>(window, "Watermark/Font")->currentText(), QString("Verdana"));
    });
    QCOMPARE(session.context.settings.Fonts, std::string("Verdana"));
  }

  void SwatchAndImageRequesters() {
    Session session;
    session.context.settings.Image = "/old/logo.png";
    ScriptedDialogs dialogs;
    dialogs.colorAnswers = {QColor(1, 2, 3)};
    dialogs.fileAnswers = {"/new/mark.png", ""};
    session.Open([&](PreferencesWindow& window) {
      QTest::mouseClick(Control<QPushButton>(window, "Frame/Solid Top Color swatch"),
                        Qt::LeftButton);
      QCOMPARE(Control<QLineEdit>(window, "Frame/Solid Top Color")->text(), QString("010203"));
      auto* image = Control<QLineEdit>(window, "Watermark/Image");
      image->setText("  " + image->text() + " ");
      QTest::mouseClick(Control<QPushButton>(window, "Watermark/Image button"), Qt::LeftButton);
      QCOMPARE(image->text(), QString("/new/mark.png"));
      QTest::mouseClick(Control<QPushButton>(window, "Watermark/Image button"), Qt::LeftButton);
      QCOMPARE(image->text(), QString("/new/mark.png"));  // cancelled: unchanged
      Click(window, kPrefsOkButton);
    });
    const ScriptedDialogs::Shown file = dialogs.shown[1];
    QCOMPARE(file.title, QString("Select Watermark Image"));
    QCOMPARE(file.text,
             QString("/old/logo.png|All Supported Files (*.jpg *.jpeg *.jpe *.jif *.png *.bmp "
                     "*.rle *.dib);;JPEG File (*.jpg *.jpeg *.jpe *.jif);;Portable Network "
                     "Graphics (*.png);;Windows or OS/2 Bitmap (*.bmp *.rle *.dib);;All Files (*)"));
    QCOMPARE(session.context.settings.SolidTopColor, std::string("010203"));
    QCOMPARE(session.context.settings.Image, std::string("/new/mark.png"));
  }

  void StartPageIsUsedOnceThenResetToGeneral() {
    Session session;
    int shown = -1;
    QString header;
    auto look = [&](PreferencesWindow& window) {
      shown = window.CurrentPage();
      header = Control<QLabel>(window, Name(kPrefsHeader).toUtf8().constData())->text();
    };
    session.context.preferencesStartPage = 3;  // "Output Format Options"
    session.Open(look);
    QCOMPARE(shown, 3);
    QCOMPARE(header, QString("Output"));
    QCOMPARE(session.context.preferencesStartPage, 0);
    session.Open(look);  // "Preferences"
    QCOMPARE(shown, 0);
    QCOMPARE(header, QString("General"));
  }

  void ThemesAreSortedAndTheRefreshMarkSaysWhatChanged() {
    struct Case {
      const char* why;
      int theme;  // index in the sorted list: "Alpha Display", "beta", "zeta"
      int size;
      int mark;
      const char* stored;
    };
    const Case cases[] = {
        {"nothing changed", 1, 2, 0, "beta"},
        {"only the size", 1, 0, 2, "beta"},
        {"only the theme", 0, 2, 1, "Alpha"},
        {"both: the theme wins", 2, 1, 1, "zeta"},
    };
    for (const Case& c : cases) {
      Session session;
      session.context.themeNames = {{"zeta", ""}, {"Alpha", "Alpha Display"}, {"beta", ""}};
      session.context.settings.UITheme = "beta";
      session.context.settings.UISize = 2;
      session.Open([&](PreferencesWindow& window) {
        auto* theme = Control<QComboBox>(window, "Interface/UI Theme");
        QCOMPARE(theme->itemText(0), QString("Alpha Display"));
        QCOMPARE(theme->itemText(2), QString("zeta"));
        QCOMPARE(theme->currentIndex(), 1);
        theme->setCurrentIndex(c.theme);
        Control<QComboBox>(window, "Interface/UI Size")->setCurrentIndex(c.size);
        Click(window, kPrefsOkButton);
      });
      QVERIFY2(session.context.refreshMark == c.mark, c.why);
      QCOMPARE(session.context.settings.UITheme, std::string(c.stored));
    }

    Session none;
    none.context.themeNames.clear();
    none.Open([&](PreferencesWindow& window) {
      QCOMPARE(Control<QComboBox>(window, "Interface/UI Theme")->currentText(), QString("None"));
      Click(window, kPrefsOkButton);
    });
    QCOMPARE(none.context.settings.UITheme, std::string());
  }

  void EnablingAndShowingRulesFollowTheirControls() {
    struct Case {
      const char* controller;
      int index;  // check boxes: 0 or 1
      const char* target;
      bool on;
      bool showing;  // a showing rule (else enabling)
    };
    const Case cases[] = {
        {"Transform/Do Image Rotation", 0, "Transform/Image Rotation", false, false},
        {"Transform/Do Image Rotation", 1, "Transform/Image Rotation Back Color swatch", true, false},
        {"Transform/Do Image Resize", 0, "Transform/Image Resize Algorithm", false, false},
        {"Adjustment/Do Image Threshold", 1, "Adjustment/Image Threshold slider", true, false},
        {"Adjustment/Do Image Dither", 0, "Adjustment/Image Dither Algorithm", false, false},
        {"Input/RAW Load As", 1, "Input/RAW Header Size", true, false},
        {"Input/RAW Load As", 1, "Input/RAW Tone Mapping", false, false},
        {"Input/RAW Load As", 5, "Input/RAW Tone Mapping", true, false},
        {"Input/RAW Load As", 3, "Input/RAW Image Width", false, false},
        {"Advanced/File Timestamp", 2, "Advanced/Custom Timestamp", true, false},
        {"Advanced/File Timestamp", 1, "Advanced/Custom Timestamp", false, false},
        {"Frame/Do Frame", 0, "Frame/Solid Left", false, true},
        {"Frame/Do Frame", 1, "Frame/Solid Left", true, true},
        {"Watermark/Do Watermark", 1, "Watermark/Text", true, true},
        {"Watermark/Do Watermark", 1, "Watermark/Image", false, true},
        {"Watermark/Do Watermark", 2, "Watermark/Image", true, true},
        {"Watermark/Do Watermark", 0, "Watermark/Text", false, true},
        {"Watermark/Text Size", 0, "Watermark/Text Scale", false, true},
    };
    Session session;
    session.Open([&](PreferencesWindow& window) {
      for (const Case& c : cases) {
        const QByteArray why = QByteArray(c.controller) + " " + QByteArray::number(c.index) +
                               " -> " + c.target;
        QWidget* controller = Control<QWidget>(window, c.controller);
        if (auto* check = qobject_cast<QCheckBox*>(controller)) {
          check->setChecked(c.index == 1);
        } else {
          qobject_cast<QComboBox*>(controller)->setCurrentIndex(c.index);
        }
        QWidget* target = Control<QWidget>(window, c.target);
        const bool on = c.showing ? ShownOnItsPage(target) : target->isEnabled();
        QVERIFY2(on == c.on, why.constData());
      }
    });
  }

  void ScrollingPagesFollowTheFocusAndTheWheel() {
    Session session;
    session.context.preferencesStartPage = 4;  // Transform
    session.Open([&](PreferencesWindow& window) {
      auto* flip = Control<QCheckBox>(window, "Transform/Do Image Flip Vertical");
      QScrollBar* bar = nullptr;
      for (QWidget* w = flip; w != nullptr && bar == nullptr; w = w->parentWidget()) {
        if (auto* area = qobject_cast<QScrollArea*>(w)) bar = area->verticalScrollBar();
      }
      QVERIFY(bar != nullptr);
      QTRY_VERIFY(bar->maximum() > 0);
      QCOMPARE(bar->value(), 0);
      flip->setFocus();
      QTRY_COMPARE(bar->value(), bar->maximum());

      // Over a drop-down without the focus the wheel scrolls the page, not the choice.
      auto* algorithm = Control<QComboBox>(window, "Transform/Image Resize Algorithm");
      const int index = algorithm->currentIndex();
      QWheelEvent wheel(QPointF(5, 5), algorithm->mapToGlobal(QPointF(5, 5)), QPoint(),
                        QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(algorithm, &wheel);
      QCOMPARE(algorithm->currentIndex(), index);
      QVERIFY(bar->value() < bar->maximum());
    });
  }

  void TabFollowsTheRowsAndNumberFieldsTakeDigitsOnly() {
    Session session;
    session.context.settings.DoFrame = 1;
    session.context.preferencesStartPage = 6;  // Frame
    session.Open([&](PreferencesWindow& window) {
      Control<QComboBox>(window, "Frame/Do Frame")->setFocus();
      QTRY_VERIFY(QApplication::focusWidget() != nullptr);
      QStringList visited;
      for (int i = 0; i < 6; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
      }
      QCOMPARE(visited, QStringList({"Frame/Solid Left", "Frame/Solid Left unit",
                                     "Frame/Solid Right", "Frame/Solid Right unit",
                                     "Frame/Solid Top", "Frame/Solid Top unit"}));

      auto* top = Control<QLineEdit>(window, "Frame/Solid Top");
      top->clear();
      QTest::keyClicks(top, "-1x2 3");
      QCOMPARE(top->text(), QString("123"));
      top->setText("99999999999");  // beyond the largest setting: saturates
      Click(window, kPrefsOkButton);
    });
    QCOMPARE(session.context.settings.SolidTop, 2147483647);
  }

  // Screen readers get a name for every control: a buddy label or an accessible name.
  void EveryControlHasANameFromItsLabel() {
    Session session;
    session.Open([&](PreferencesWindow& window) {
      QSet<QWidget*> named;
      for (QLabel* label : window.findChildren<QLabel*>()) {
        if (label->buddy() != nullptr) named.insert(label->buddy());
      }
      int controls = 0;
      for (QWidget* control : window.findChildren<QWidget*>()) {
        const bool isControl = qobject_cast<QComboBox*>(control) ||
                               qobject_cast<QAbstractButton*>(control) ||
                               qobject_cast<QAbstractSlider*>(control) ||
                               qobject_cast<QAbstractSpinBox*>(control) ||
                               (qobject_cast<QLineEdit*>(control) &&
                                qobject_cast<QAbstractSpinBox*>(control->parentWidget()) == nullptr &&
                                qobject_cast<QComboBox*>(control->parentWidget()) == nullptr);
        if (!isControl || control->objectName().isEmpty()) continue;
        if (qobject_cast<QAbstractSlider*>(control) && control->parentWidget() &&
            qobject_cast<QAbstractScrollArea*>(control->parentWidget()->parentWidget())) {
          continue;  // the scroll bars of the scrolling pages
        }
        ++controls;
        auto* button = qobject_cast<QPushButton*>(control);
        const bool hasName = named.contains(control) || !control->accessibleName().isEmpty() ||
                             (button != nullptr && !button->text().isEmpty());
        QVERIFY2(hasName, control->objectName().toUtf8().constData());
        if (qobject_cast<QSlider*>(control)) QVERIFY(!control->accessibleName().isEmpty());
      }
      QVERIFY(controls > 100);
    });
  }
};

}  // namespace ravelin

QTEST_MAIN(ravelin::PreferencesTest)
#include "preferences_test.moc"
