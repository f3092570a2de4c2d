// Icon themes: listing, display names, "theme.cfg" values and loading pictures from small ZIP
// archives the tests write with libarchive, damaged and hostile ones included.
#include <archive.h>
#include <archive_entry.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <string>
#include <vector>

#include "gui/themes.h"

namespace ravelin {
namespace {

struct Entry {
  std::string name;
  std::string bytes;
};

// A PNG picture of side x side pixels in one colour, so a test sees which one was loaded.
std::string Png(int side, QRgb colour) {
  QImage image(side, side, QImage::Format_ARGB32);
  image.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

void WriteZip(const QString& path, const std::vector<Entry>& entries) {
  archive* a = archive_write_new();
  archive_write_set_format_zip(a);
  QVERIFY(archive_write_open_filename(a, path.toUtf8().constData()) == ARCHIVE_OK);
  for (const Entry& e : entries) {
    archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname(entry, e.name.c_str());
    archive_entry_set_size(entry, static_cast<la_int64_t>(e.bytes.size()));
    archive_entry_set_filetype(entry, AE_IFREG);
    archive_entry_set_perm(entry, 0644);
    archive_write_header(a, entry);
    archive_write_data(a, e.bytes.data(), e.bytes.size());
    archive_entry_free(entry);
  }
  archive_write_close(a);
  archive_write_free(a);
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

constexpr QRgb kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kGrey = 0xFF808080;

// The picture's side and colour, as one comparable text ("16 ff0000"; "none" when empty).
QString Seen(const ImageSet& set, const char* key) {
  const auto it = set.find(key);
  if (it == set.end() || it->second.isNull()) return "none";
  return QString("%1 %2").arg(it->second.width()).arg(it->second.pixel(0, 0) & 0xFFFFFF, 6, 16,
                                                       QChar('0'));
}

}  // namespace

class ThemesTest : public QObject {
  Q_OBJECT

  QTemporaryDir root_;
  std::string gfx_;

  QString Archive(const char* theme) const {
    return QString::fromStdString(gfx_) + theme + ".zip";
  }
  // A context whose every "New", "About" and "Convert" picture is a grey 8 x 8 square.
  static WindowContext Context(const char* theme, int uiSize) {
    WindowContext context;
    context.settings.UITheme = theme;
    context.settings.UISize = uiSize;
    QImage grey(8, 8, QImage::Format_ARGB32);
    grey.fill(kGrey);
    for (ImageSet* set : {&context.pictures.buttons, &context.pictures.menu,
                          &context.pictures.toolbar}) {
      for (const char* key : {"New", "About", "Convert", "InFiles"}) (*set)[key] = grey;
    }
    return context;
  }

 private slots:
  void init() {
    QDir(root_.path()).removeRecursively();
    QDir().mkpath(root_.path() + "/gfx");
    gfx_ = (root_.path() + "/gfx/").toStdString();
  }

  void IniValueReadsAsWritten_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    const QString cfg = "[Theme]\r\nName =  Hand drawn \r\n[Icons]\r\nNew=new\r\nNames=x\r\n";
    QTest::newRow("blanks around the value") << cfg << "Theme" << "Name" << "Hand drawn";
    QTest::newRow("group and key in any case") << cfg << "THEME" << "name" << "Hand drawn";
    QTest::newRow("key outside its group") << cfg << "Theme" << "New" << "";
    QTest::newRow("missing group") << cfg << "Buttons" << "Convert" << "";
    QTest::newRow("the first line beginning with the key")
        << "[Icons]\r\nNames=x\r\nName=y\r\n" << "Icons" << "Name" << "x";
    QTest::newRow("value ends at the second =") << "[A]\r\nk=a=b\r\n" << "A" << "k" << "a";
    QTest::newRow("line without =") << "[A]\r\nkey\r\n" << "A" << "key" << "";
    QTest::newRow("last line without line end") << "[A]\r\nk= v" << "A" << "k" << "v";
    QTest::newRow("blanks, then tabs, then CR, then LF")
        << "[A]\r\nk=\t v \t\r\n" << "A" << "k" << " v ";
    QTest::newRow("key on the group's own line is no key") << "[A]k=v\r\n" << "A" << "k" << "";
    QTest::newRow("bare line feeds separate no lines") << "[A]\nk=v\n" << "A" << "k" << "";
    QTest::newRow("empty text") << "" << "A" << "k" << "";
  }
  void IniValueReadsAsWritten() {
    QFETCH(QString, text);
    QFETCH(QString, group);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(
                 IniValue(text.toStdString(), group.toStdString(), key.toStdString())),
             expected);
  }

  void ListsThemesWithTheirDisplayNames() {
    WriteZip(Archive("handdrawn"), {{"theme.cfg", "[Theme]\r\nName =  Hand drawn\r\n"}});
    // The "Theme" group beyond the first 255 bytes: listed with an empty name.
    WriteZip(Archive("late"), {{"theme.cfg", "[Icons]\r\n" + std::string(300, ';') +
                                                 "\r\n[Theme]\r\nName=Late\r\n"}});
    // Within the 255 bytes, a name whose last letter is cut keeps the letters before it.
    WriteZip(Archive("long"), {{"theme.cfg", "[Theme]\r\nName=" + std::string(238, 'a') +
                                                 "\xC3\xA9\xC3\xA9\r\n"}});
    WriteZip(Archive("nocfg"), {{"new_16.png", Png(16, kRed)}});
    WriteFile(Archive("empty"), "");
    WriteFile(Archive("text"), "not a zip archive at all");
    QDir().mkpath(Archive("folder"));
    WriteFile(QString::fromStdString(gfx_) + "readme.txt", "x");

    WindowContext context;
    ListThemes(context, gfx_);
    const std::map<QString, QString> expected = {
        {"handdrawn", "Hand drawn"}, {"late", ""}, {"long", QString(238, 'a') + QChar(0xE9)},
        {"nocfg", ""}, {"empty", "empty"}, {"text", "text"}};
    QCOMPARE(context.themeNames, expected);

    QCOMPARE(ThemeDisplayName("missing", gfx_), QString("missing"));
    ListThemes(context, gfx_ + "nowhere/");
    QVERIFY(context.themeNames.empty());
  }

  void LoadsPicturesByTheSetsRules() {
    WriteZip(Archive("t"), {{"theme.cfg",
                             "[Theme]\r\nName=T\r\n[Buttons]\r\nConvert = convert_big.PNG\r\n"
                             "InFiles=files\r\n[Icons]\r\nNew=new\r\nAbout=about\r\n"},
                            {"convert_big.PNG", Png(64, kRed)},
                            {"files_16.png", Png(48, kBlue)},
                            {"new_16.png", Png(16, kGreen)},
                            {"about_16.png", Png(16, kBlue)},
                            {"about_32.png", Png(32, kRed)}});
    struct Case {
      const char* why;
      int uiSize;
      bool buttons, menu, toolbar;
      const char* convert;  // buttons
      const char* newMenu;
      const char* newToolbar;
      const char* aboutMenu;
      const char* aboutToolbar;
    };
    const Case cases[] = {
        {"all three at 32: toolbar about_32, no new_32 keeps New", 2, true, true, true,
         "64 ff0000", "16 00ff00", "8 808080", "16 0000ff", "32 ff0000"},
        {"size 0 takes the 16-pixel pictures for the toolbar too", 0, true, true, true,
         "64 ff0000", "16 00ff00", "16 00ff00", "16 0000ff", "16 0000ff"},
        {"size 4 without new_64: the toolbar keeps its New", 4, true, true, true,
         "64 ff0000", "16 00ff00", "8 808080", "16 0000ff", "8 808080"},
        {"only the toolbar", 2, false, false, true,
         "8 808080", "8 808080", "8 808080", "8 808080", "32 ff0000"},
    };
    for (const Case& c : cases) {
      WindowContext context = Context("t", c.uiSize);
      LoadTheme(context, gfx_, c.buttons, c.menu, c.toolbar);
      const QStringList seen = {Seen(context.pictures.buttons, "Convert"),
                                Seen(context.pictures.menu, "New"),
                                Seen(context.pictures.toolbar, "New"),
                                Seen(context.pictures.menu, "About"),
                                Seen(context.pictures.toolbar, "About")};
      QCOMPARE(seen, QStringList({c.convert, c.newMenu, c.newToolbar, c.aboutMenu,
                                  c.aboutToolbar}));
      if (c.buttons) QCOMPARE(Seen(context.pictures.buttons, "InFiles"), QString("48 0000ff"));
    }
  }

  void DamagedEntriesLeaveThePreviousPicture() {
    const std::string png = Png(16, kGreen);
    WriteZip(Archive("d"), {{"theme.cfg",
                             "[Icons]\r\nNew=new\r\nAbout=about\r\nAdd=huge\r\nExit=../x\r\n"
                             "Copy=big\r\n"},
                            {"new_16.png", png.substr(0, png.size() / 2)},  // cut short
                            {"about_16.png", "not a picture"},
                            {"huge_16.png", std::string(kMaxThemeEntryBytes + 1, '\0')},
                            {"big_16.png", Png(kMaxThemePictureSide + 1, kRed)},
                            {"../x_16.png", Png(16, kBlue)}});
    WindowContext context = Context("d", 0);
    LoadTheme(context, gfx_, true, true, true);
    QCOMPARE(Seen(context.pictures.menu, "New"), QString("8 808080"));
    QCOMPARE(Seen(context.pictures.menu, "About"), QString("8 808080"));
    QCOMPARE(Seen(context.pictures.menu, "Add"), QString("none"));
    QCOMPARE(Seen(context.pictures.menu, "Copy"), QString("none"));
    // A "../" name is only a name: read from memory, nothing written beside the folder.
    QCOMPARE(Seen(context.pictures.menu, "Exit"), QString("16 0000ff"));
    QCOMPARE(QDir(root_.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList({"gfx"}));
  }

  void ArchivesThatAreNoThemeChangeNothing() {
    WriteFile(Archive("empty"), "");
    WriteFile(Archive("text"), "PK\x03\x04 but nothing after it");
    WriteZip(Archive("nocfg"), {{"new_16.png", Png(16, kRed)}});
    WriteZip(Archive("noentries"), {});
    for (const char* theme : {"empty", "text", "nocfg", "noentries"}) {
      WindowContext context = Context(theme, 0);
      LoadTheme(context, gfx_, true, true, true);
      QCOMPARE(Seen(context.pictures.menu, "New"), QString("8 808080"));
      QCOMPARE(Seen(context.pictures.toolbar, "New"), QString("8 808080"));
      QCOMPARE(context.settings.UITheme, std::string(theme));
    }
  }

  void ThousandsOfEntriesAreBounded() {
    std::vector<Entry> entries = {{"theme.cfg", "[Theme]\r\nName=Many\r\n[Icons]\r\nNew=new\r\n"
                                                "About=about\r\n"},
                                  {"new_16.png", Png(16, kGreen)}};
    for (int i = 0; i < kMaxThemeEntries + 1000; ++i) entries.push_back({"f" + std::to_string(i), "x"});
    entries.push_back({"about_16.png", Png(16, kRed)});  // beyond the entries looked at
    WriteZip(Archive("many"), entries);
    WindowContext context = Context("many", 0);
    LoadTheme(context, gfx_, false, true, false);
    QCOMPARE(Seen(context.pictures.menu, "New"), QString("16 00ff00"));
    QCOMPARE(Seen(context.pictures.menu, "About"), QString("8 808080"));
    QCOMPARE(ThemeDisplayName("many", gfx_), QString("Many"));
  }

  void MissingThemeFallsBackToTheOneFoundLast() {
    WindowContext context = Context("gone", 0);
    LoadTheme(context, gfx_, true, true, true);  // no themes at all
    QCOMPARE(context.settings.UITheme, std::string("gone"));
    QCOMPARE(Seen(context.pictures.menu, "New"), QString("8 808080"));

    WriteZip(Archive("alpha"), {{"theme.cfg", "[Icons]\r\nNew=new\r\n"}, {"new_16.png", Png(16, kRed)}});
    WriteZip(Archive("beta"), {{"theme.cfg", "[Icons]\r\nNew=new\r\n"}, {"new_16.png", Png(16, kBlue)}});
    ListThemes(context, gfx_);
    LoadTheme(context, gfx_, true, true, true);
    QCOMPARE(context.settings.UITheme, std::string("beta"));
    QCOMPARE(Seen(context.pictures.menu, "New"), QString("16 0000ff"));
  }

  void SwitchingThemesKeepsWhatTheNewOneLacks() {
    WriteZip(Archive("first"), {{"theme.cfg", "[Icons]\r\nNew=n\r\nAbout=a\r\n"},
                                {"n_16.png", Png(16, kRed)},
                                {"a_16.png", Png(16, kRed)}});
    WriteZip(Archive("second"), {{"theme.cfg", "[Icons]\r\nNew=n\r\n"}, {"n_16.png", Png(16, kBlue)}});
    WindowContext context = Context("first", 0);
    LoadTheme(context, gfx_, true, true, true);
    context.settings.UITheme = "second";
    LoadTheme(context, gfx_, true, true, true);
    QCOMPARE(Seen(context.pictures.menu, "New"), QString("16 0000ff"));
    QCOMPARE(Seen(context.pictures.menu, "About"), QString("16 ff0000"));
    QCOMPARE(Seen(context.pictures.toolbar, "New"), QString("16 0000ff"));
  }
};

}  // namespace ravelin

QTEST_GUILESS_MAIN(ravelin::ThemesTest)
#include "themes_test.moc"
