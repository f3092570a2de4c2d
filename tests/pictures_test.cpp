// The pictures the build renders: the built-in resource of the window mode and the default theme
// archive beside the program.
#include "art/builtin_pictures.h"

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QImage>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace ravelin {
namespace {

const char* const kIconKeys[] = {
    "New",  "Add",    "InFiles",   "InFolder", "OutFolder",   "OutFormat",       "FavFolder",
    "ImportFiles",    "ExportFiles", "Exit",   "Copy",        "Delete",          "SelectAll",
    "Convert",        "Preferences", "CustomConverter",       "Help", "Email",   "Web",
    "Updates",        "About"};

struct Button {
  const char* key;
  int pixels;
};
const Button kButtons[] = {{"Convert", 64}, {"InFiles", 48}, {"InFolder", 48}};

const int kThemeSizes[] = {16, 24, 32, 48, 64};

// A picture the window can show: the asked size, an alpha channel that lets the background
// through somewhere, and something drawn.
void ExpectIconPicture(const QImage& image, int pixels, const std::string& what) {
  SCOPED_TRACE(what);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), pixels);
  EXPECT_EQ(image.height(), pixels);
  ASSERT_TRUE(image.hasAlphaChannel());
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  bool see_through = false;
  bool drawn = false;
  for (int y = 0; y < argb.height(); ++y) {
    for (int x = 0; x < argb.width(); ++x) {
      const int alpha = qAlpha(argb.pixel(x, y));
      see_through = see_through || alpha < 255;
      drawn = drawn || alpha == 255;
    }
  }
  EXPECT_TRUE(see_through);
  EXPECT_TRUE(drawn);
}

QImage ResourceImage(const std::string& path) { return QImage(QString::fromStdString(path)); }

TEST(BuiltinPictures, EveryKeyIsThereAtItsSize) {
  InitBuiltinPictures();
  for (const char* key : kIconKeys) {
    const std::string path = std::string(kMenuPicturePrefix) + key + kPictureSuffix;
    ExpectIconPicture(ResourceImage(path), kMenuPicturePixels, path);
  }
  for (const Button& button : kButtons) {
    const std::string path = std::string(kButtonPicturePrefix) + button.key + kPictureSuffix;
    ExpectIconPicture(ResourceImage(path), button.pixels, path);
  }
}

uint32_t Le(const QByteArray& bytes, int offset, int width) {
  uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[offset + i]);
  return value;
}

TEST(BuiltinPictures, AboutBannerIsAnUncompressed24BitBitmap) {
  InitBuiltinPictures();
  QFile file(QString::fromLatin1(kAboutBannerPath));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  ASSERT_GE(bytes.size(), 54);
  EXPECT_EQ(bytes.left(2), QByteArray("BM"));
  EXPECT_EQ(Le(bytes, 18, 4), uint32_t(kAboutBannerWidth));
  EXPECT_EQ(static_cast<int32_t>(Le(bytes, 22, 4)), kAboutBannerHeight);  // rows bottom first
  EXPECT_EQ(Le(bytes, 28, 2), 24u);
  EXPECT_EQ(Le(bytes, 30, 4), 0u);  // no compression
  const QImage image = QImage::fromData(bytes, "BMP");
  EXPECT_EQ(image.size(), QSize(kAboutBannerWidth, kAboutBannerHeight));
}

// The whole archive, entry name to contents; small enough to hold at once.
std::map<std::string, QByteArray> ReadArchive(const std::string& path) {
  std::map<std::string, QByteArray> entries;
  archive* reader = archive_read_new();
  archive_read_support_format_zip(reader);
  if (archive_read_open_filename(reader, path.c_str(), 16384) == ARCHIVE_OK) {
    archive_entry* entry = nullptr;
    while (archive_read_next_header(reader, &entry) == ARCHIVE_OK) {
      QByteArray data;
      char block[16384];
      la_ssize_t got = 0;
      while ((got = archive_read_data(reader, block, sizeof block)) > 0) data.append(block, got);
      entries[archive_entry_pathname(entry)] = data;
    }
  }
  archive_read_free(reader);
  return entries;
}

// theme.cfg as group -> key -> value, for lines ended by "\r\n".
std::map<std::string, std::map<std::string, std::string>> ParseThemeConfig(const QByteArray& text) {
  std::map<std::string, std::map<std::string, std::string>> groups;
  std::string group;
  for (const QByteArray& line : text.split('\n')) {
    const std::string plain = line.chopped(line.endsWith('\r') ? 1 : 0).toStdString();
    if (plain.size() > 2 && plain.front() == '[' && plain.back() == ']') {
      group = plain.substr(1, plain.size() - 2);
    } else if (const auto equals = plain.find('='); equals != std::string::npos) {
      groups[group][plain.substr(0, equals)] = plain.substr(equals + 1);
    }
  }
  return groups;
}

class ThemeArchive : public ::testing::Test {
 protected:
  void SetUp() override {
    entries_ = ReadArchive(RAVELIN_BUILD_FOLDER "gfx/handdrawn.zip");
    ASSERT_FALSE(entries_.empty());
    ASSERT_EQ(entries_.count("theme.cfg"), 1u);
    config_ = entries_["theme.cfg"];
  }

  QImage Entry(const std::string& name) {
    const auto found = entries_.find(name);
    return found == entries_.end() ? QImage() : QImage::fromData(found->second, "PNG");
  }

  std::map<std::string, QByteArray> entries_;
  QByteArray config_;
};

TEST_F(ThemeArchive, ConfigHasCrLfLinesAndItsNameWithinTheFirst255Bytes) {
  ASSERT_TRUE(config_.endsWith("\r\n"));
  for (qsizetype at = config_.indexOf('\n'); at >= 0; at = config_.indexOf('\n', at + 1)) {
    ASSERT_GT(at, 0);
    EXPECT_EQ(config_[at - 1], '\r') << "bare line feed at byte " << at;
  }
  const QByteArray head = config_.left(255);
  const qsizetype group = head.indexOf("[Theme]\r\n");
  ASSERT_GE(group, 0);
  const qsizetype name = head.indexOf("\r\nName=", group);
  ASSERT_GT(name, group);
  const qsizetype name_end = head.indexOf("\r\n", name + 2);
  ASSERT_GT(name_end, name) << "the name line ends after byte 255";
  EXPECT_GT(name_end - name, qsizetype(std::strlen("\r\nName=")));
}

TEST_F(ThemeArchive, EveryKeyNamesItsPicturesAtEverySize) {
  const auto groups = ParseThemeConfig(config_);
  ASSERT_EQ(groups.count("Icons"), 1u);
  ASSERT_EQ(groups.count("Buttons"), 1u);
  const auto& icons = groups.at("Icons");
  for (const char* key : kIconKeys) {
    ASSERT_EQ(icons.count(key), 1u) << key;
    const std::string value = icons.at(key);
    // A plain value, so the size is appended when the theme is loaded.
    EXPECT_EQ(QByteArray::fromStdString(value).toLower().indexOf(".png"), -1) << key;
    for (int size : kThemeSizes) {
      const std::string name = value + "_" + std::to_string(size) + ".png";
      ExpectIconPicture(Entry(name), size, name);
    }
  }
  // Button values name their entries in full; a plain one would be looked up at 16 pixels.
  const auto& buttons = groups.at("Buttons");
  for (const Button& button : kButtons) {
    ASSERT_EQ(buttons.count(button.key), 1u) << button.key;
    const std::string name = buttons.at(button.key);
    ExpectIconPicture(Entry(name), button.pixels, name);
  }
}

}  // namespace
}  // namespace ravelin
