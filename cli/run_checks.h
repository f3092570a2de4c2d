// The console run's echo of the effective settings (printed in debug mode) and the checks of
// the values a bad option can break. Each function prints its echo lines through `echo` (a
// no-op outside debug mode) and returns the error line to print, or "" when all is well.
#pragma once

#include <functional>
#include <string>

#include "settings/settings.h"

namespace ravelin {

using EchoLine = std::function<void(const std::string&)>;

// The input format's option lines (echo only; "bmp" has none).
void EchoInputFormat(const Settings& settings, const std::string& inputFormat, const EchoLine& echo);
// The output format's option lines, then its bits-per-pixel and quality checks.
std::string CheckOutputFormat(const Settings& settings, const std::string& outputExt, const EchoLine& echo);
// Rotation, resizing, flips, colour correction, greyscale, threshold, dithering and frame.
std::string CheckOperations(const Settings& settings, const EchoLine& echo);
// The watermark kind and the lines of a text or image mark.
void EchoWatermark(const Settings& settings, const EchoLine& echo);
// Filename mask, file timestamp and subfolders.
void EchoAdvanced(const Settings& settings, const EchoLine& echo);

// "1.00" for 1.0: gamma is echoed with two decimals.
std::string FormatGamma(float gamma);

}  // namespace ravelin
