#include "settings/settings.h"

#include "platform/local_time.h"
#include "platform/product.h"
#include "settings/formats.h"

namespace ravelin {

std::string MakerNotice() { return kMakerNotice; }

void ResetSettings(Settings& settings, bool commandLineMode, DesktopSize desktop) {
  const std::string configPath = settings.ConfigPath;
  settings = Settings{};
  settings.ConfigPath = configPath;

  const Date now = static_cast<Date>(LocalDateNow());
  settings.UpdateDate = now;
  settings.CustomTimestamp = now;
  // Centred on the primary desktop; the divisions truncate toward zero.
  settings.X = desktop.width > 510 ? (desktop.width - 510) / 2 : 100;
  settings.Y = desktop.height > 260 ? (desktop.height - 260) / 2 : 100;
  settings.KeepAspectRatio = commandLineMode ? 0 : 1;
  settings.Text = MakerNotice();
  settings.InputFormat = ActiveInputExtensions().front();
  settings.OutputFormat = ActiveOutputExtensions().front();
}

}  // namespace ravelin
