#include "i18n/language_table.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace ravelin {
namespace {

class BuiltInTable : public ::testing::Test {
 protected:
  void SetUp() override { table.LoadBuiltIn(); }
  LanguageTable table;
};

TEST_F(BuiltInTable, GroupsHoldEveryEntry) {
  struct Case { const char* group; size_t entries; };
  const Case kCases[] = {
      {"Menu", 27}, {"General", 10}, {"Msg", 41}, {"Dialog", 18},
      {"Preferences", 223},  // "Medium" twice
      {"About", 4}, {"Custom-Converter", 4}, {"Uninstall", 3},
  };
  EXPECT_EQ(8u, table.GroupCount());
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.group);
    EXPECT_EQ(c.entries, table.EntryCount(c.group));
  }
  EXPECT_EQ(0u, table.EntryCount("Nowhere"));
}

TEST_F(BuiltInTable, FindsTexts) {
  struct Case { const char* why; const char* group; const char* key; const char* expected; };
  const Case kCases[] = {
      {"both in lower case", "preferences", "title", "Preferences..."},
      {"both in upper case", "MENU", "SAVE AS", "Save As..."},
      {"same key in another group", "About", "Title", "About..."},
      {"duplicated key", "Preferences", "Medium", "Medium"},
      {"text is the key", "Preferences", "Bold Italic", "Bold Italic"},
      {"text is the key and a colon", "Preferences", "Keep Subfolders", "Keep Subfolders:"},
      {"key that is a prefix of others", "Preferences", "Image", "Image:"},
      {"key that has a prefix in the group", "Preferences", "Image Greyscale", "Greyscale Image:"},
      {"short key beside longer ones", "Preferences", "RGB", "RGB"},
      {"digits after a prefix", "Preferences", "RGB48HS", "RGB 48-bit (HS)"},
      {"last key of a group", "Preferences", "ZLIB9", "ZLib Level 9"},
      {"first key of a group", "Dialog", "All Files", "All Files"},
      {"group with a hyphen", "custom-converter", "To", "To:"},
      {"line breaks are CR LF", "Msg", "Invalid output folder",
       "The following output folder is invalid or doesn't exist:\r\n%s1%\r\n\r\n"
       "Please, correct the output path and try again!"},
      {"line breaks are CR LF", "Msg", "Ask continue to find",
       "No matches of %s1% found!\r\n\r\nDo you want to search from the start of the list?"},
      {"placeholders kept", "Msg", "Files converted", "Files converted: %s1% of %s2%"},
      {"product name in a text", "Msg", "No Update Text",
       "There is no update of Veltrano BMP to PSD yet. You're using the most recent version."},
      {"last group", "Uninstall", "Uninstall Text", "Full Uninstall - Visit Uninstall Center"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(c.expected, table.GetText(c.group, c.key));
  }
}

TEST_F(BuiltInTable, EveryBuiltInKeyIsFoundInAnyCase) {
  // Walks the stream the way the loader does and looks each key up, so a fault in the
  // sorting or in the first-character index shows as a key that cannot be found.
  std::string group;
  for (size_t i = 0; i < kBuiltInTextCount; ++i) {
    const LanguagePair& pair = kBuiltInTexts[i];
    const std::string first = pair.first;
    if (first == "_END_") break;
    if (first == "_GROUP_") {
      group = pair.second;
      continue;
    }
    SCOPED_TRACE(group + "/" + first);
    EXPECT_EQ(pair.second, table.GetText(group, first));
    std::string lower = first;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string upperGroup = group;
    for (char& c : upperGroup) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(pair.second, table.GetText(upperGroup, lower));
  }
}

TEST_F(BuiltInTable, UnknownGroupsAndKeysGiveTheErrorText) {
  struct Case { const char* why; const char* group; const char* key; };
  const Case kCases[] = {
      {"key the group does not hold", "Msg", "No such key"},
      {"unknown group", "Errors", "Error"},
      {"empty key", "Msg", ""},
      {"empty group", "", "Error"},
      {"key sorting before every key of its letter", "Msg", "A"},
      {"key past the last entry", "Preferences", "ZZZ"},
      {"prefix of a key only", "Preferences", "Imag"},
      {"key with a trailing blank", "Menu", "File "},
      {"key of another group", "Menu", "Ready"},
      {"a first character outside the index", "Menu", "\xC4\x80" "bc"},
      {"surrogate first unit", "Menu", "\xF0\x9F\x98\x80"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(kNoStringError, table.GetText(c.group, c.key));
  }
}

TEST_F(BuiltInTable, RememberedGroupDoesNotLeakIntoOtherLookups) {
  // The current group changes with each lookup; an unknown group must not keep the old one.
  EXPECT_EQ("Ready", table.GetText("General", "Ready"));
  EXPECT_EQ(kNoStringError, table.GetText("Nowhere", "Ready"));
  EXPECT_EQ("Ready", table.GetText("general", "READY"));
  EXPECT_EQ("Convert", table.GetText("Menu", "Convert"));
  EXPECT_EQ("Convert", table.GetText("General", "Convert"));
  EXPECT_EQ("Find a File Converter...", table.GetText("Menu", "Custom Converter"));
}

TEST(LanguageTable, UnloadedAndReloadedTables) {
  LanguageTable table;
  EXPECT_EQ(kNoStringError, table.GetText("Menu", "File"));
  EXPECT_EQ(0u, table.GroupCount());
  table.LoadBuiltIn();
  EXPECT_EQ("File", table.GetText("Menu", "File"));
  table.Overlay([](const std::string&, const std::string&, const std::string&) {
    return std::string("changed");
  });
  table.LoadBuiltIn();  // from scratch: the overlay is gone
  EXPECT_EQ("File", table.GetText("Menu", "File"));
  EXPECT_EQ(27u, table.EntryCount("Menu"));
}

TEST(LanguageTable, StreamsOfOddShape) {
  const LanguagePair kStream[] = {
      {"Orphan", "before any group"},
      {"_GROUP_", "Empty"},
      {"_GROUP_", "Words"},
      {"beta", "B"},
      {"Alpha", "A"},
      {"alphabet", "AB"},
      {"_END_", ""},
      {"After", "never read"},
  };
  LanguageTable table;
  table.Load(kStream, sizeof(kStream) / sizeof(kStream[0]));
  EXPECT_EQ(2u, table.GroupCount());
  EXPECT_EQ(0u, table.EntryCount("Empty"));
  EXPECT_EQ(3u, table.EntryCount("Words"));
  EXPECT_EQ(kNoStringError, table.GetText("", "Orphan"));
  EXPECT_EQ(kNoStringError, table.GetText("Empty", "Alpha"));
  EXPECT_EQ("A", table.GetText("Words", "ALPHA"));
  EXPECT_EQ("AB", table.GetText("Words", "Alphabet"));
  EXPECT_EQ("B", table.GetText("Words", "Beta"));
  EXPECT_EQ(kNoStringError, table.GetText("Words", "After"));

  // A stream cut short before "_END_" is read up to its given length.
  LanguageTable cut;
  cut.Load(kStream, 4);
  EXPECT_EQ("B", cut.GetText("Words", "beta"));
  EXPECT_EQ(kNoStringError, cut.GetText("Words", "alpha"));
}

TEST(LanguageTable, OverlayReplacesTextsOfKnownKeys) {
  LanguageTable table;
  table.LoadBuiltIn();
  table.Overlay([](const std::string& group, const std::string& key, const std::string& current) {
    if (group == "MSG" && key == "ERROR") return std::string("Fehler");
    return current;
  });
  EXPECT_EQ("Fehler", table.GetText("Msg", "Error"));
  EXPECT_EQ("Warning", table.GetText("Msg", "Warning"));
}

TEST(LanguageTable, ProcessWideTable) {
  EXPECT_TRUE(LoadLanguage());
  EXPECT_EQ("All Supported Files", GetText("Dialog", "All Supported Files"));
  EXPECT_EQ(kNoStringError, GetText("Dialog", "Nothing"));
}

TEST(FormatText, FillsPlaceholders) {
  struct Case {
    const char* why;
    const char* text;
    const char* s1; const char* s2; const char* s3; const char* s4;
    const char* expected;
  };
  const Case kCases[] = {
      {"two counts", "Files converted: %s1% of %s2%", "3", "5", "", "", "Files converted: 3 of 5"},
      {"empty arguments keep placeholders", "Unable to open the file: %s1%!", "", "", "", "",
       "Unable to open the file: %s1%!"},
      {"capital placeholder", "%S1% and %s1%", "x", "", "", "", "x and x"},
      {"every occurrence", "%s1%%s1%%s1%", "ab", "", "", "", "ababab"},
      {"all four", "%s4%%s3%%s2%%s1%", "1", "2", "3", "4", "4321"},
      {"a later argument fills a placeholder brought in by an earlier one",
       "[%s1%]", "%s2%", "two", "", "", "[two]"},
      {"an earlier argument is not filled by itself again", "%s1%", "%s1%!", "", "", "", "%s1%!"},
      {"an argument brought in by a later one is not rescanned", "%s1% %s2%", "a", "%s1%", "", "",
       "a %s1%"},
      {"inserted text does not join into a placeholder", "%s%s1%1%", "1%", "", "", "", "%s1%1%"},
      {"empty text", "", "a", "b", "c", "d", ""},
      {"no placeholder", "plain", "a", "", "", "", "plain"},
      {"percent signs elsewhere stay", "100% %s2 %s2%", "", "x", "", "", "100% %s2 x"},
      {"line breaks around a placeholder", "folder:\r\n%s1%\r\n", "/tmp/a b", "", "", "",
       "folder:\r\n/tmp/a b\r\n"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(c.expected, FormatText(c.text, c.s1, c.s2, c.s3, c.s4));
  }
}

}  // namespace
}  // namespace ravelin
