#include "gui/preferences/color_text.h"

#include <QPixmap>

#include "i18n/language_table.h"

namespace ravelin {
namespace {

struct NamedColor {
  const char* key;
  QRgb rgb;
};

const NamedColor kNamedColors[] = {
    {"Black", 0x000000},  {"Silver", 0xC0C0C0}, {"Gray", 0x808080},   {"White", 0xFFFFFF},
    {"Maroon", 0x800000}, {"Red", 0xFF0000},    {"Purple", 0x800080}, {"Fuchsia", 0xFF00FF},
    {"Green", 0x008000},  {"Lime", 0x00FF00},   {"Olive", 0x808000},  {"Yellow", 0xFFFF00},
    {"Navy", 0x000080},   {"Blue", 0x0000FF},   {"Teal", 0x008080},   {"Aqua", 0x00FFFF},
    {"Orange", 0xFF8000}, {"Brown", 0x804000},  {"Violet", 0x8000FF},
};

}  // namespace

QColor ParseColorText(const QString& text) {
  if (text.size() != 6) return QColor(0, 0, 0);
  int parts[3] = {};
  for (int i = 0; i < 3; ++i) {
    bool ok = false;
    const int value = text.mid(i * 2, 2).toInt(&ok, 16);
    parts[i] = ok ? value : 0;
  }
  return QColor(parts[0], parts[1], parts[2]);
}

QString ColorText(const QColor& color) {
  return QString::asprintf("%02X%02X%02X", color.red(), color.green(), color.blue());
}

QString ColorDisplayName(const QColor& color) {
  const QRgb rgb = color.rgb() & 0xFFFFFF;
  for (const NamedColor& named : kNamedColors) {
    if (named.rgb == rgb) return QString::fromStdString(GetText("Preferences", named.key));
  }
  return QString::fromStdString(GetText("Preferences", "Color")) + " #" + ColorText(color);
}

QIcon ColorSwatch(const QColor& color, int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(color);
  return QIcon(pixmap);
}

QStringList HistoryEntries(const std::string& list) {
  QStringList entries;
  for (const QString& entry : QString::fromStdString(list).split(',')) {
    const QString trimmed = entry.trimmed();
    if (!trimmed.isEmpty()) entries << trimmed;
  }
  return entries;
}

}  // namespace ravelin
