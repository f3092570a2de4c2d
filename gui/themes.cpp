#include "gui/themes.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QStringList>
#include <dirent.h>

#include <algorithm>
#include <map>
#include <vector>

#include "gui/theme_archive.h"
#include "platform/files.h"

namespace ravelin {
namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Position of `needle` in `text` at or after `from`, letter case ignored; npos when absent.
size_t FindIgnoreCase(std::string_view text, std::string_view needle, size_t from) {
  if (needle.empty() || from > text.size()) return std::string_view::npos;
  const auto it = std::search(text.begin() + from, text.end(), needle.begin(), needle.end(),
                              [](char a, char b) { return LowerAscii(a) == LowerAscii(b); });
  return it == text.end() ? std::string_view::npos : static_cast<size_t>(it - text.begin());
}

std::string TrimChar(std::string_view text, char c) {
  const size_t first = text.find_first_not_of(c);
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(c) - first + 1));
}

std::string ArchivePath(const std::string& gfxFolder, const std::string& theme) {
  return gfxFolder + theme + ".zip";
}

// The theme's 8-bit text as shown: UTF-8 when it is valid, else ISO-8859-1.
QString FromThemeText(const std::string& text) {
  const QByteArray bytes = QByteArray::fromStdString(text);
  const QString utf8 = QString::fromUtf8(bytes);
  if (utf8.toUtf8() == bytes) return utf8;
  return QString::fromLatin1(bytes);
}

// Drops a UTF-8 sequence cut off at the end of a text read in part, so a long display name
// keeps its last whole letter instead of turning the whole name into ISO-8859-1.
void DropCutSequence(std::string* text) {
  size_t start = text->size();
  int back = 0;
  while (start > 0 && back < 4 && (static_cast<unsigned char>((*text)[start - 1]) & 0xC0) == 0x80) {
    --start;
    ++back;
  }
  if (start == 0) return;
  const unsigned char lead = static_cast<unsigned char>((*text)[start - 1]);
  const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (length > 1 && back + 1 < length) text->resize(start - 1);
}

// The entry a "theme.cfg" value names: the value itself when it holds ".png" in any case,
// else value + "_" + size + ".png".
std::string PictureEntry(const std::string& value, int size) {
  if (FindIgnoreCase(value, ".png", 0) != std::string::npos) return value;
  return value + "_" + std::to_string(size) + ".png";
}

// Decodes a PNG picture of bounded size; a null image when it does not decode.
QImage DecodePicture(const std::string& bytes) {
  QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "png");
  reader.setAutoTransform(false);
  const QSize size = reader.size();
  if (!size.isValid() || size.width() > kMaxThemePictureSide ||
      size.height() > kMaxThemePictureSide) {
    return {};
  }
  QImage image;
  if (!reader.read(&image)) return {};
  return image;
}

}  // namespace

std::string ThemeFolder() { return ProgramFolder() + "gfx/"; }

std::string IniValue(std::string_view text, std::string_view group, std::string_view key) {
  const std::string header = "[" + std::string(group) + "]";
  const size_t groupAt = FindIgnoreCase(text, header, 0);
  if (groupAt == std::string_view::npos) return {};
  size_t groupEnd = text.find('[', groupAt + 1);
  if (groupEnd == std::string_view::npos) groupEnd = text.size();
  const size_t keyAt = FindIgnoreCase(text, "\r\n" + std::string(key), groupAt);
  if (keyAt == std::string_view::npos || keyAt <= groupAt || keyAt >= groupEnd) return {};
  size_t lineEnd = text.find("\r\n", keyAt + 2);
  if (lineEnd == std::string_view::npos) lineEnd = text.size();
  const std::string_view line = text.substr(keyAt + 2, lineEnd - keyAt - 2);
  const size_t firstEquals = line.find('=');
  if (firstEquals == std::string_view::npos) return {};
  std::string value(line.substr(firstEquals + 1, line.find('=', firstEquals + 1) - firstEquals - 1));
  for (const char c : {' ', '\t', '\r', '\n'}) value = TrimChar(value, c);
  return value;
}

QString ThemeDisplayName(const QString& theme) { return ThemeDisplayName(theme, ThemeFolder()); }

QString ThemeDisplayName(const QString& theme, const std::string& gfxFolder) {
  const std::string path = ArchivePath(gfxFolder, theme.toStdString());
  std::string head;
  bool read = false;
  const bool opened = ReadThemeEntries(
      path, {"theme.cfg"}, kDisplayNameBytes, true, kMaxThemeEntries,
      [&](const std::string&, const std::string& bytes) {
        head = bytes;
        read = true;
      });
  if (!opened) return theme;
  if (read && head.size() == static_cast<size_t>(kDisplayNameBytes)) DropCutSequence(&head);
  return FromThemeText(IniValue(head, "Theme", "Name"));
}

void ListThemes(WindowContext& context) { ListThemes(context, ThemeFolder()); }

void ListThemes(WindowContext& context, const std::string& gfxFolder) {
  context.themeNames.clear();
  QStringList themes;
  if (DIR* dir = opendir(gfxFolder.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      constexpr std::string_view kExtension = ".zip";
      if (name.size() <= kExtension.size() ||
          name.compare(name.size() - kExtension.size(), kExtension.size(), kExtension) != 0) {
        continue;
      }
      // Files only (links to files count); a folder named "x.zip" is no theme.
      if (IsDirectory(gfxFolder + name)) continue;
      themes.push_back(QString::fromStdString(name.substr(0, name.size() - kExtension.size())));
    }
    closedir(dir);
  }
  // The folder is taken in name order, the order the map keeps, so the theme found last is
  // the map's last entry.
  std::sort(themes.begin(), themes.end());
  for (const QString& theme : themes) {
    context.themeNames[theme] = ThemeDisplayName(theme, gfxFolder);
  }
}

void LoadTheme(WindowContext& context, bool buttons, bool menu, bool toolbar) {
  LoadTheme(context, ThemeFolder(), buttons, menu, toolbar);
}

void LoadTheme(WindowContext& context, const std::string& gfxFolder, bool buttons, bool menu,
               bool toolbar) {
  std::string path = ArchivePath(gfxFolder, context.settings.UITheme);
  if (FileSize(path) < 0 && !IsDirectory(path) && !context.themeNames.empty()) {
    context.settings.UITheme = context.themeNames.rbegin()->first.toStdString();
    path = ArchivePath(gfxFolder, context.settings.UITheme);
  }
  ThemeEntries entries;
  if (!ListThemeArchive(path, kMaxThemeEntryBytes, kMaxThemeEntries, &entries)) return;

  std::string config;
  if (entries.count("theme.cfg") != 0) {
    ReadThemeEntries(path, {"theme.cfg"}, kMaxThemeEntryBytes, false, kMaxThemeEntries,
                     [&](const std::string&, const std::string& bytes) { config = bytes; });
  }

  // Which picture of which set each wanted entry becomes (one entry may serve several keys).
  std::map<std::string, std::vector<std::pair<ImageSet*, QString>>> targets;
  auto want = [&](ImageSet& set, const char* group, const char* key, int size) {
    const std::string value = IniValue(config, group, key);
    if (value.empty()) return;
    const std::string entry = PictureEntry(value, size);
    if (entries.count(entry) != 0) targets[entry].emplace_back(&set, QString::fromLatin1(key));
  };
  ImageSets& sets = context.pictures;
  if (buttons) {
    for (const char* key : kButtonKeys) want(sets.buttons, "Buttons", key, 16);
  }
  if (menu) {
    for (const char* key : kIconKeys) want(sets.menu, "Icons", key, 16);
  }
  if (toolbar) {
    const int pixels = IconPixels(context.settings.UISize);
    for (const char* key : kIconKeys) want(sets.toolbar, "Icons", key, pixels);
  }
  if (targets.empty()) return;

  std::set<std::string> names;
  for (const auto& target : targets) names.insert(target.first);
  ReadThemeEntries(path, names, kMaxThemeEntryBytes, false, kMaxThemeEntries,
                   [&](const std::string& name, const std::string& bytes) {
                     const QImage picture = DecodePicture(bytes);
                     if (picture.isNull()) return;  // the key keeps its current picture
                     for (const auto& [set, key] : targets[name]) (*set)[key] = picture;
                   });
}

}  // namespace ravelin
