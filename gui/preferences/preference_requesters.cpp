// The font, colour and image requesters of the preferences window. They go through the
// answering interface; the font and colour lists they grow are stored at once.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "gui/window_texts.h"
#include "gui/message_boxes.h"
#include "gui/preferences/color_text.h"
#include "gui/preferences/preferences_window.h"
#include "gui/preferences/setting_values.h"
#include "i18n/language_table.h"
#include "settings/font_attributes.h"

namespace ravelin {
namespace {

// The image requester's filter: the all-supported entry, then the three image kinds in the
// walking order of the format hash map, then every file.
struct FilterEntry {
  const char* description;
  const char* patterns;
};
const FilterEntry kWatermarkImageFilter[] = {
    {"JPEG File", "*.jpg;*.jpeg;*.jpe;*.jif"},
    {"Portable Network Graphics", "*.png"},
    {"Windows or OS/2 Bitmap", "*.bmp;*.rle;*.dib"},
};

QString WatermarkImageFilter() {
  QStringList all;
  QStringList entries;
  for (const FilterEntry& entry : kWatermarkImageFilter) {
    const QString patterns = QString(entry.patterns).replace(';', ' ');
    all << patterns;
    entries << QString("%1 (%2)").arg(entry.description, patterns);
  }
  entries.prepend(QString("%1 (%2)").arg(Text("Dialog", "All Supported Files"), all.join(' ')));
  entries << Text("Dialog", "All Files") + " (*)";
  return entries.join(";;");
}

}  // namespace

void PreferencesWindow::OnChooseFont(BuiltRow& built) {
  Settings& settings = context_.settings;
  BuiltRow* size = Find(&Settings::FontSize);
  BuiltRow* style = Find(&Settings::FontStyle);
  FontChoice initial;
  initial.family = built.combo->currentText();
  initial.points = size != nullptr ? ReadNumberField(size->edit->text()) : 0;
  if (style != nullptr) {
    const FontAttributes attributes = FontAttributesFor(style->combo->currentIndex(), 0);
    initial.bold = attributes.bold;
    initial.italic = attributes.italic;
  }
  const std::optional<FontChoice> chosen = CurrentDialogs().ChooseFont(this, initial);
  if (!chosen) return;

  const QString name = QString(chosen->family).remove(',');
  if (!HistoryEntries(settings.Fonts).contains(name)) {
    settings.Fonts += (settings.Fonts.empty() ? "" : ",") + name.toStdString();
  }
  if (built.combo->findText(name) < 0) built.combo->addItem(name);
  built.combo->setCurrentIndex(built.combo->findText(name));
  if (size != nullptr && chosen->points > 0) size->edit->setText(QString::number(chosen->points));
  if (style != nullptr) {
    for (int index = 0; index < style->combo->count(); ++index) {
      const FontAttributes attributes = FontAttributesFor(index, 0);
      if (attributes.bold == chosen->bold && attributes.italic == chosen->italic) {
        style->combo->setCurrentIndex(index);
        break;
      }
    }
  }
}

void PreferencesWindow::OnChooseHistoryColor(BuiltRow& built) {
  const QColor initial = ParseColorText(built.combo->currentData().toString());
  const std::optional<QColor> chosen = CurrentDialogs().ChooseColor(this, initial);
  if (!chosen) return;
  const QString text = ColorText(*chosen);
  std::string& history = *TextField(context_.settings, *built.row->history);
  bool known = false;
  for (const QString& entry : HistoryEntries(history)) {
    known = known || ColorText(ParseColorText(entry)) == text;
  }
  if (!known) history += (history.empty() ? "" : ",") + text.toStdString();
  if (built.combo->findData(text) < 0) {
    const QColor color = ParseColorText(text);
    built.combo->addItem(ColorSwatch(color, 16, 16), ColorDisplayName(color), text);
  }
  built.combo->setCurrentIndex(built.combo->findData(text));
}

void PreferencesWindow::OnChooseSwatchColor(BuiltRow& built) {
  const QColor current = ParseColorText(built.edit->text());
  const std::optional<QColor> chosen = CurrentDialogs().ChooseColor(this, current);
  if (!chosen || ColorText(*chosen) == ColorText(current)) return;
  const QColor color = ParseColorText(ColorText(*chosen));
  built.edit->setText(ColorText(color));
  built.button->setIcon(ColorSwatch(color, 34, 12));
}

void PreferencesWindow::OnChooseImage(BuiltRow& built) {
  const QString chosen = CurrentDialogs().ChooseFile(
      this, Text("Dialog", "Select Watermark Image"), built.edit->text().trimmed(),
      WatermarkImageFilter());
  if (!chosen.isEmpty()) built.edit->setText(chosen);
}

}  // namespace ravelin
