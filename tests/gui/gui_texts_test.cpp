// The pure parts of the window mode: durations and shortened paths of the progress window,
// the recent output folder history, and mending a stored window placement.
#include <QtTest>

#include "gui/format_duration.h"
#include "gui/recent_folders.h"
#include "gui/window_geometry.h"
#include "tests/gui/support/isolated_session.h"

namespace ravelin {

class GuiTextsTest : public QObject {
  Q_OBJECT
  IsolatedSession session_;

 private slots:
  void FormatsDurations() {
    struct Case { const char* why; int64_t ms; const char* expected; };
    const Case cases[] = {
        {"below a second is zero", 999, "00:00:00"},
        {"negative is zero", -5000, "00:00:00"},
        {"seconds only", 59999, "00:00:59"},
        {"a minute and a second", 61000, "00:01:01"},
        {"one hour", 3600000, "01:00:00"},
        {"just under a day", 86399999, "23:59:59"},
        {"one day", 86400000, "1d:00:00:00"},
        {"a day, an hour, a minute, a second", 90061000, "1d:01:01:01"},
        {"hundreds of days", 400LL * 86400000, "400d:00:00:00"},
    };
    for (const Case& c : cases) {
      QVERIFY2(FormatDuration(c.ms) == c.expected, c.why);
    }
  }

  void ShortensInTheMiddle() {
    struct Case { const char* why; const char* text; int max; const char* expected; };
    const Case cases[] = {
        {"empty stays", "", 5, ""},
        {"short enough stays", "abcde", 5, "abcde"},
        {"odd room", "abcdefghij", 9, "abc...hij"},
        {"even room rounds down", "abcdefghij", 8, "ab...ij"},
        {"letters are not cut in half", "\xC3\xA4\xC3\xB6\xC3\xBC" "abcd", 5, "\xC3\xA4...d"},
        {"no room keeps the dots", "abcdefghij", 2, "..."},
    };
    for (const Case& c : cases) {
      QVERIFY2(ShortenMiddle(c.text, c.max) == c.expected, c.why);
    }
  }

  void KeepsRecentFolders() {
    struct Case { const char* why; const char* before; int number; const char* added; const char* after; };
    const Case cases[] = {
        {"first folder", "", 5, "/p/", "/p/"},
        {"new folder goes first", "/a/\t/b/", 5, "/c/", "/c/\t/a/\t/b/"},
        {"same folder in other case is dropped", "/D/X/\t/e/y/", 5, "/d/x/", "/d/x/\t/e/y/"},
        {"oldest drops beyond the number", "/a/\t/b/", 2, "/c/", "/c/\t/a/"},
        {"empty entries are skipped", "/a/\t\t/b/", 5, "/c/", "/c/\t/a/\t/b/"},
        {"blanks around entries are trimmed", " /a/ ", 5, "/c/", "/c/\t/a/"},
        {"moving an entry to the front", "/a/\t/b/\t/c/", 5, "/b/", "/b/\t/a/\t/c/"},
    };
    for (const Case& c : cases) {
      Settings settings;
      settings.RecentOutFolders = c.before;
      settings.OutFoldersNumber = c.number;
      QVERIFY2(AddRecentOutFolder(settings, c.added), c.why);
      QVERIFY2(settings.RecentOutFolders == c.after, c.why);
    }
    Settings settings;
    settings.RecentOutFolders = "/a/";
    QVERIFY(!AddRecentOutFolder(settings, ""));
    QCOMPARE(settings.RecentOutFolders, std::string("/a/"));
    QCOMPARE(RecentOutFolderAt(settings, 0), std::string("/a/"));
    QCOMPARE(RecentOutFolderAt(settings, 1), std::string());
    QCOMPARE(RecentOutFolderAt(settings, -1), std::string());
  }

  void MendsUnreachablePlacements() {
    const std::vector<QRect> screens = {QRect(0, 0, 1280, 800), QRect(1280, 0, 1024, 768)};
    struct Case { const char* why; int x, y, width; int ex, ey, ewidth; };
    const Case cases[] = {
        {"reachable stays", 100, 100, 510, 100, 100, 510},
        {"on the second screen stays", 1400, 50, 600, 1400, 50, 600},
        {"absurd width is cut to the widest screen", 0, 0, 2000000000, 0, 0, 1280},
        {"narrow width grows to the minimum", 10, 10, 20, 10, 10, 510},
        {"negative position is centred", -3000, -3000, 510, 385, 270, 510},
        {"screen that is gone is centred", 5000, 100, 510, 385, 270, 510},
        {"title strip below the screens is centred", 100, 790, 510, 385, 270, 510},
    };
    for (const Case& c : cases) {
      Settings settings;
      settings.X = c.x;
      settings.Y = c.y;
      settings.Width = c.width;
      settings.Height = -7;
      MendWindowPlacement(settings, screens);
      QVERIFY2(settings.X == c.ex && settings.Y == c.ey && settings.Width == c.ewidth, c.why);
      QCOMPARE(settings.Height, 260);
    }
  }
};

}  // namespace ravelin

QTEST_MAIN(ravelin::GuiTextsTest)
#include "gui_texts_test.moc"
