#include "settings/config_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "settings/settings_layout.h"
#include "tests/support/scratch.h"

namespace ravelin {
namespace {

std::string AsText(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }
std::vector<uint8_t> AsBytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// Every test gets its own configuration folder.
class ConfigFile : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv("XDG_CONFIG_HOME", home_.path().c_str(), 1);
    settings_.ConfigPath = DefaultConfigPath();
  }
  void TearDown() override {
    if (had_) setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
  }
  std::string Folder() const { return home_.path() + "Veltrano/ravelin/"; }
  void WriteConfig(const std::string& text) { ASSERT_TRUE(test::WriteBytes(settings_.ConfigPath, AsBytes(text))); }

  test::ScratchDir home_;
  bool had_ = false;
  std::string old_;
  Settings settings_;
};

using Lines = std::vector<std::pair<std::string, std::string>>;

void AppendGroup(std::string* out, const std::string& name, const Lines& lines) {
  *out += "[" + name + "]\r\n";
  for (const auto& [key, value] : lines) *out += key + " = " + value + "\r\n";
  *out += "; \r\n";
}

TEST_F(ConfigFile, FirstStartWritesTheLayout) {
  EXPECT_EQ(home_.path() + "Veltrano/ravelin/config.ini", settings_.ConfigPath);
  LoadSettings(settings_, DesktopSize{1920, 1080});
  ASSERT_TRUE(SaveSettings(settings_));

  const std::string colours = "000000,FFFFFF,FF0000,FF8000,FFFF00,008000,00FFFF,0000FF,8000FF";
  std::string expected = "\xEF\xBB\xBF\r\n";
  AppendGroup(&expected, "General", {{"CFG", "19"}, {"Language", "en"}, {"Update Range", "2"},
                                     {"Update Date", std::to_string(settings_.UpdateDate)},
                                     {"Save Window Position", "1"}});
  AppendGroup(&expected, "Window", {{"IsMaximized", "0"}, {"Width", "510"}, {"Height", "260"},
                                    {"X", "705"}, {"Y", "410"}});
  AppendGroup(&expected, "Interface", {{"UI Theme", "handdrawn"}, {"UI Size", "2"}});
  AppendGroup(&expected, "Input", {{"Format", "bmp"}});
  AppendGroup(&expected, "Output", {{"Format", "psd"}, {"PSD BPP", "0"}});
  AppendGroup(&expected, "Transform",
              {{"Do Image Rotation", "0"}, {"Image Rotation Type", "0"}, {"Image Rotation", "0"},
               {"Image Rotation Back Color", "000000"}, {"Do Image Resize", "0"}, {"Image Width", "0"},
               {"Image Width Unit", "0"}, {"Image Height", "0"}, {"Image Height Unit", "0"},
               {"Keep Aspect Ratio", "1"}, {"Image Resize Type", "0"}, {"Image Resize Algorithm", "3"},
               {"Do Image Flip Horizontal", "0"}, {"Do Image Flip Vertical", "0"}});
  AppendGroup(&expected, "Adjustment",
              {{"Do Image Color Correction", "0"}, {"Image Brightness", "0"}, {"Image Contrast", "0"},
               {"Image Gamma", "1.000000"}, {"Image Invert", "0"}, {"Do Image Greyscale", "0"},
               {"Do Image Threshold", "0"}, {"Image Threshold", "0"}, {"Do Image Dither", "0"},
               {"Image Dither Algorithm", "0"}});
  AppendGroup(&expected, "Frame",
              {{"Do Frame", "0"}, {"Solid Left", "0"}, {"Solid Right", "0"}, {"Solid Top", "0"},
               {"Solid Bottom", "0"}, {"Solid Left Color", "000000"}, {"Solid Right Color", "000000"},
               {"Solid Top Color", "000000"}, {"Solid Bottom Color", "000000"}, {"Solid Opacity", "255"}});
  AppendGroup(&expected, "Watermark",
              {{"Do Watermark", "0"}, {"Text", MakerNotice()}, {"Fonts", "Arial,Tahoma,Verdana"},
               {"Font", "Arial"}, {"Font Size", "14"}, {"Font Leading", "0"}, {"Font Colors", colours},
               {"Font Color", "FFFFFF"}, {"Font Style", "0"}, {"Font Effect", "0"},
               {"Text Antialiasing", "0"}, {"Text Alignment", "0"}, {"Text Padding", "0"},
               {"Text Opacity", "255"}, {"Back Colors", colours}, {"Back Color", "000000"},
               {"Back Opacity", "1"}, {"Text Boundary", "0"}, {"Text Position", "8"},
               {"Text X Offset", "10"}, {"Text Y Offset", "10"}, {"Text Rotation", "0"},
               {"Text Size", "0"}, {"Text Scale", "10"}, {"Image", ""}, {"Image Greyscale", "0"},
               {"Image Opacity", "255"}, {"Image Boundary", "0"}, {"Image Position", "8"},
               {"Image X Offset", "10"}, {"Image Y Offset", "10"}, {"Image Rotation", "0"},
               {"Image Size", "0"}, {"Image Scale", "10"}});
  AppendGroup(&expected, "Advanced",
              {{"Filename Mask", "%filename%.%ext%"}, {"File Timestamp", "0"},
               {"Custom Timestamp", std::to_string(settings_.CustomTimestamp)},
               {"Out Folders History", "1"}, {"Out Folders Number", "5"}, {"Keep Subfolders", "1"}});
  AppendGroup(&expected, "File", {{"Recent Out Folders", ""}, {"Recent Files", ""}});
  AppendGroup(&expected, "Privacy", {{"Clean Recent Files", "0"}});

  EXPECT_EQ(expected, AsText(test::ReadBytes(settings_.ConfigPath)));
}

TEST_F(ConfigFile, WindowKeysOnlyWithSaveWindowPosition) {
  ResetSettings(settings_, false);
  settings_.SaveWindowPosition = 0;
  settings_.CFG = 3;  // the file always carries the current layout version
  ASSERT_TRUE(SaveSettings(settings_));
  const std::string text = AsText(test::ReadBytes(settings_.ConfigPath));
  EXPECT_NE(std::string::npos, text.find("\r\n; \r\n[Window]\r\n; \r\n[Interface]\r\n"));
  EXPECT_NE(std::string::npos, text.find("[General]\r\nCFG = 19\r\n"));
}

TEST_F(ConfigFile, SavedSettingsLoadBack) {
  ResetSettings(settings_, false);
  settings_.UpdateDate = 1234567;
  settings_.Width = -40;
  settings_.ImageGamma = 2.5f;
  settings_.ImageResizeAlgorithm = 5;
  settings_.Text = "caf\xC3\xA9 \xC2\xA9";
  settings_.RecentOutFolders = "/a\t/b c";
  settings_.OutFoldersNumber = 50;
  settings_.PSDBPP = 24;
  settings_.JPGQuality = 50;  // an inactive format's key is not written
  ASSERT_TRUE(SaveSettings(settings_));

  Settings loaded;
  loaded.ConfigPath = settings_.ConfigPath;
  LoadSettings(loaded);
  settings_.JPGQuality = 95;
  for (size_t i = 0; i < SettingsLayoutSize(); ++i) {
    const SettingsKey& row = SettingsLayout()[i];
    SCOPED_TRACE(row.key);
    EXPECT_EQ(FormatField(settings_, row.field), FormatField(loaded, row.field));
  }
}

struct LoadCase {
  const char* why;
  const char* file;
  std::function<void(const Settings&)> check;
};

const LoadCase kLoads[] = {
    {"missing keys: defaults, X and Y not centred, aspect ratio kept, CFG 0", "[General]\n",
     [](const Settings& s) {
       EXPECT_EQ(0, s.CFG);
       EXPECT_EQ(100, s.X);
       EXPECT_EQ(100, s.Y);
       EXPECT_EQ(510, s.Width);
       EXPECT_EQ(1, s.KeepAspectRatio);
       EXPECT_EQ(1, s.BackOpacity);
       EXPECT_NE(0, s.UpdateDate);
       EXPECT_NE(0, s.CustomTimestamp);
       EXPECT_EQ("%filename%.%ext%", s.FilenameMask);
     }},
    {"an empty Width reads 0, not 510", "[Window]\nWidth =\n", [](const Settings& s) { EXPECT_EQ(0, s.Width); }},
    {"header and key in other letter case", "[general]\ncfg = 19\n[WINDOW]\nx=-5\n",
     [](const Settings& s) {
       EXPECT_EQ(19, s.CFG);
       EXPECT_EQ(-5, s.X);
     }},
    {"no CFG: a mask without the extension token gets it", "[Advanced]\nFilename Mask = %filename%\n",
     [](const Settings& s) { EXPECT_EQ("%filename%.%ext%", s.FilenameMask); }},
    {"the extension token in any case counts", "[General]\nCFG=10\n[Advanced]\nFilename Mask = a.%EXT%\n",
     [](const Settings& s) { EXPECT_EQ("a.%EXT%", s.FilenameMask); }},
    {"CFG 11 keeps the mask", "[General]\nCFG=11\n[Advanced]\nFilename Mask = %filename%\n",
     [](const Settings& s) { EXPECT_EQ("%filename%", s.FilenameMask); }},
    {"CFG 13 moves RAW load modes by two", "[General]\nCFG=13\n[Input]\nRAW Load As=1\n",
     [](const Settings& s) { EXPECT_EQ(3, s.RAWLoadAs); }},
    {"CFG 13 leaves RAW AUTO", "[General]\nCFG=13\n[Input]\nRAW Load As=0\n",
     [](const Settings& s) { EXPECT_EQ(0, s.RAWLoadAs); }},
    {"CFG 14 keeps RAW load modes", "[General]\nCFG=14\n[Input]\nRAW Load As=1\n",
     [](const Settings& s) { EXPECT_EQ(1, s.RAWLoadAs); }},
    {"CFG 18: a colour model replaces the colour mode",
     "[General]\nCFG=18\n[Input]\nPSD Color Mode=1\nPSD Color Model=2\n[Output]\nTIFF Color Model=1\n",
     [](const Settings& s) {
       EXPECT_EQ(2, s.PSDColorMode);
       EXPECT_EQ(1, s.TIFFColorMode);
     }},
    {"CFG 18: a colour model 0 keeps the colour mode", "[General]\nCFG=18\n[Input]\nPSD Color Mode=1\nPSD Color Model=0\n",
     [](const Settings& s) { EXPECT_EQ(1, s.PSDColorMode); }},
    {"CFG 19 ignores colour models", "[General]\nCFG=19\n[Input]\nPSD Color Mode=1\nPSD Color Model=2\n",
     [](const Settings& s) { EXPECT_EQ(1, s.PSDColorMode); }},
    {"keys of inactive formats are read", "[Output]\nJPG Quality = 50\nTIFF Compression = 6\n[Input]\nRAW Tone Mapping=4\n",
     [](const Settings& s) {
       EXPECT_EQ(50, s.JPGQuality);
       EXPECT_EQ(6, s.TIFFCompression);
       EXPECT_EQ(4, s.RAWToneMapping);
     }},
    {"texts trimmed, numbers read as far as they go, nothing range-checked",
     "[Watermark]\nFont =  Liberation Sans \t\nFont Size = 12pt\nText Opacity = 9999\n[Adjustment]\nImage Gamma = 1,5\n",
     [](const Settings& s) {
       EXPECT_EQ("Liberation Sans", s.Font);
       EXPECT_EQ(12, s.FontSize);
       EXPECT_EQ(9999, s.TextOpacity);
       EXPECT_FLOAT_EQ(1.0f, s.ImageGamma);
     }},
    {"a file without a mark that is not UTF-8 is ISO-8859-1", "[Watermark]\nText = caf\xE9\n",
     [](const Settings& s) { EXPECT_EQ("caf\xC3\xA9", s.Text); }},
    {"a file without a mark that is UTF-8 is UTF-8", "[Watermark]\nText = caf\xC3\xA9\n",
     [](const Settings& s) { EXPECT_EQ("caf\xC3\xA9", s.Text); }},
    {"Watermark's Image Rotation is not Transform's", "[Transform]\nImage Rotation=90\n[Watermark]\nImage Rotation=45\n",
     [](const Settings& s) {
       EXPECT_EQ(90, s.ImageRotation);
       EXPECT_EQ(45, s.WatermarkImageRotation);
     }},
};

TEST_F(ConfigFile, LoadsWithDefaultsAndMigrations) {
  for (const LoadCase& c : kLoads) {
    SCOPED_TRACE(c.why);
    WriteConfig(c.file);
    Settings loaded;
    loaded.ConfigPath = settings_.ConfigPath;
    LoadSettings(loaded);
    c.check(loaded);
  }
}

TEST_F(ConfigFile, NoFileGivesWindowDefaults) {
  settings_.ImageWidth = 77;
  LoadSettings(settings_, DesktopSize{500, 200});
  EXPECT_EQ(19, settings_.CFG);
  EXPECT_EQ(0, settings_.ImageWidth);
  EXPECT_EQ(100, settings_.X);
  EXPECT_EQ(1, settings_.KeepAspectRatio);
  EXPECT_EQ("%filename%.%ext%", settings_.FilenameMask);
  EXPECT_EQ(home_.path() + "Veltrano/ravelin/config.ini", settings_.ConfigPath);
}

TEST_F(ConfigFile, SaveReplacesTheWholeFile) {
  WriteConfig("[Unknown]\nkey=1\n");
  ResetSettings(settings_, false);
  ASSERT_TRUE(SaveSettings(settings_));
  const std::string text = AsText(test::ReadBytes(settings_.ConfigPath));
  EXPECT_EQ(std::string::npos, text.find("Unknown"));
  EXPECT_EQ(std::vector<std::string>{"config.ini"}, test::ListFolder(Folder()));
}

TEST_F(ConfigFile, FailedSaveKeepsTheOldFile) {
  const std::string old = "\xEF\xBB\xBF\r\n[General]\r\nCFG = 19\r\n";
  WriteConfig(old);
  ResetSettings(settings_, false);

  // A disk that fills up half-way: the file size limit stops the write after 100 bytes
  // (it binds even a privileged user).
  struct rlimit saved;
  ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &saved));
  struct rlimit small = saved;
  small.rlim_cur = 100;
  void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
  const bool saved_ok = SaveSettings(settings_);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);

  EXPECT_FALSE(saved_ok);
  EXPECT_EQ(old, AsText(test::ReadBytes(settings_.ConfigPath)));
  EXPECT_EQ(std::vector<std::string>{"config.ini"}, test::ListFolder(Folder())) << "no temporary file left";
}

TEST_F(ConfigFile, UnwritablePlacesAreSilentlySkipped) {
  ResetSettings(settings_, false);
  ASSERT_TRUE(test::WriteBytes(home_ / "plain", {'x'}));
  for (const std::string& path : {home_ / "no/such/folder/config.ini", home_ / "plain/config.ini", std::string()}) {
    SCOPED_TRACE(path);
    settings_.ConfigPath = path;
    EXPECT_FALSE(SaveSettings(settings_));
  }
  EXPECT_EQ((std::vector<uint8_t>{'x'}), test::ReadBytes(home_ / "plain"));
}

TEST_F(ConfigFile, SaveKeepsALinkAndTheFilePermissions) {
  ResetSettings(settings_, false);
  const std::string real = home_ / "real.ini";
  ASSERT_TRUE(test::WriteBytes(real, {'x'}));
  ASSERT_EQ(0, chmod(real.c_str(), 0640));
  ASSERT_EQ(0, symlink(real.c_str(), settings_.ConfigPath.c_str()));
  ASSERT_TRUE(SaveSettings(settings_));
  struct stat st;
  ASSERT_EQ(0, lstat(settings_.ConfigPath.c_str(), &st));
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(0, stat(real.c_str(), &st));
  EXPECT_EQ(0640u, st.st_mode & 07777);
  EXPECT_EQ(0, AsText(test::ReadBytes(real)).find("\xEF\xBB\xBF\r\n[General]"));
}

}  // namespace
}  // namespace ravelin

namespace ravelin {
namespace {

TEST(SettingsLayout, OutputBppSettingOfEachExtension) {
  Settings settings;
  settings.PSDBPP = 32;
  settings.TIFFBPP = 48;
  EXPECT_EQ(32, OutputBppSetting(settings, "psd"));
  EXPECT_EQ(48, OutputBppSetting(settings, "TIFF"));  // letter case does not matter
  EXPECT_EQ(0, OutputBppSetting(settings, "xyz"));    // no such setting
  EXPECT_EQ(0, OutputBppSetting(settings, ""));
}

}  // namespace
}  // namespace ravelin
