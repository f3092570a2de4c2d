#include "gui/output_format_selector.h"

#include <QComboBox>

#include "platform/text.h"
#include "settings/formats.h"

namespace ravelin {

void FillOutputFormatSelector(QComboBox& selector, const Settings& settings,
                              const ImageSets& pictures, bool withDescription) {
  selector.clear();
  const auto picture = pictures.menu.find("New");
  const QIcon icon = picture != pictures.menu.end() && !picture->second.isNull()
                         ? QIcon(QPixmap::fromImage(picture->second))
                         : QIcon();
  const auto& extensions = ActiveOutputExtensions();
  int selected = 0;
  for (size_t i = 0; i < extensions.size(); ++i) {
    std::string text = ToUpperAscii(extensions[i]);
    if (withDescription) text += " (" + OutputFormatDescription(extensions[i]) + ")";
    selector.addItem(icon, QString::fromStdString(text), static_cast<int>(i));
    if (extensions[i] == settings.OutputFormat) selected = static_cast<int>(i);
  }
  if (selector.count() > 0) selector.setCurrentIndex(selected);
}

}  // namespace ravelin
