// The screenshot mode ("-T"): a picture of the main window for the maker's web site, with the
// web address written in its lower right corner, saved as "ravelin1.jpg" and as the 180-pixel
// wide "ravelin1x.jpg".
#pragma once

#include <QString>
#include <string>
#include <vector>

class QWidget;

namespace ravelin {

// The folder the pictures go to: the second parameter, or the program's folder when that is
// empty, ending in "/"; empty when it is not an existing folder (then nothing is taken).
QString PrepareScreenshotFolder(const std::vector<std::string>& params);

// The two file names, in the folder.
QString ScreenshotPath(const QString& folder);
QString ScreenshotThumbnailPath(const QString& folder);

// Lets `window` settle for 500 ms (or until it is closed), copies its outer area, writes the
// web address on it and saves both JPEG pictures (quality 90) into `folder`. False when the
// window is gone or a picture cannot be written.
bool TakeScreenshots(QWidget* window, const QString& folder);

}  // namespace ravelin
