// Colours as the settings hold them (six hexadecimal digits "RRGGBB") and as the preferences
// window shows them: a swatch picture and a name, one of the nineteen named colours or
// "Color #RRGGBB".
#pragma once

#include <QColor>
#include <QIcon>
#include <QString>
#include <QStringList>

namespace ravelin {

// Reads the three digit pairs of a six-character text; any other length gives black, and a
// pair that is not hexadecimal reads as 0.
QColor ParseColorText(const QString& text);
// Six upper-case hexadecimal digits.
QString ColorText(const QColor& color);
// The language text of the colour's name key, else the text of "Color" + " #" + six digits.
QString ColorDisplayName(const QColor& color);
// A picture of the given size filled with the colour.
QIcon ColorSwatch(const QColor& color, int width, int height);
// The entries of a comma-separated history list, each trimmed; empty entries are dropped.
QStringList HistoryEntries(const std::string& list);

}  // namespace ravelin
