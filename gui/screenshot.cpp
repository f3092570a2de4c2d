#include "gui/screenshot.h"

#include <QEvent>
#include <QEventLoop>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>

#include "platform/files.h"
#include "platform/product.h"

namespace ravelin {
namespace {

constexpr int kSettleMilliseconds = 500;
constexpr int kJpegQuality = 90;
constexpr int kThumbnailWidth = 180;
// The address: black, "Tahoma" 8 points (fontconfig picks the face standing in for it), its
// right end 35 pixels and its top 26 pixels from the picture's lower right corner.
constexpr char kAddressFace[] = "Tahoma";
constexpr int kAddressPoints = 8;
constexpr int kAddressRight = 35;
constexpr int kAddressTop = 26;

// Ends the wait when the watched window is closed.
class CloseWatch final : public QObject {
 public:
  explicit CloseWatch(QEventLoop* loop) : loop_(loop) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Close) loop_->quit();
    return QObject::eventFilter(watched, event);
  }

 private:
  QEventLoop* loop_;
};

// The window's outer area as the screen shows it; where the platform cannot read the screen,
// the window as it draws itself.
QImage GrabOuterArea(QWidget* window) {
  const QRect outer = window->frameGeometry();
  if (QScreen* screen = window->screen()) {
    const QPixmap pixmap =
        screen->grabWindow(0, outer.x(), outer.y(), outer.width(), outer.height());
    if (!pixmap.isNull() && pixmap.size() == outer.size()) return pixmap.toImage();
  }
  return window->grab().toImage();
}

void DrawAddress(QImage* image) {
  QPainter painter(image);
  QFont font(kAddressFace);
  // Points at 96 dots per inch, as every font of the program.
  font.setPixelSize(qRound(kAddressPoints * 96.0 / 72.0));
  painter.setFont(font);
  painter.setPen(Qt::black);
  const QFontMetrics metrics = painter.fontMetrics();
  const QString address = kWebSite;
  const int x = image->width() - metrics.horizontalAdvance(address) - kAddressRight;
  const int y = image->height() - kAddressTop;
  painter.drawText(QPoint(x, y + metrics.ascent()), address);
}

}  // namespace

QString PrepareScreenshotFolder(const std::vector<std::string>& params) {
  std::string folder = params.size() > 1 ? params[1] : std::string();
  if (folder.empty()) folder = ProgramFolder();
  if (folder.back() != '/') folder += '/';
  if (!IsDirectory(folder)) return {};
  return QString::fromStdString(folder);
}

QString ScreenshotPath(const QString& folder) {
  return folder + kProgramWord + "1.jpg";
}
QString ScreenshotThumbnailPath(const QString& folder) {
  return folder + kProgramWord + "1x.jpg";
}

bool TakeScreenshots(QWidget* window, const QString& folder) {
  if (window == nullptr) return false;
  QPointer<QWidget> alive(window);
  {
    QEventLoop loop;
    CloseWatch watch(&loop);
    window->installEventFilter(&watch);
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    QTimer::singleShot(kSettleMilliseconds, &loop, &QEventLoop::quit);
    loop.exec();
    if (alive) window->removeEventFilter(&watch);
  }
  if (!alive) return false;

  QImage image = GrabOuterArea(window).convertToFormat(QImage::Format_RGB32);
  if (image.isNull() || image.width() <= 0 || image.height() <= 0) return false;
  DrawAddress(&image);
  if (!image.save(ScreenshotPath(folder), "JPEG", kJpegQuality)) return false;

  const double ratio = static_cast<double>(image.width()) / image.height();
  const int height = std::max(1, qRound(kThumbnailWidth / ratio));
  const QImage thumbnail =
      image.scaled(kThumbnailWidth, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return thumbnail.save(ScreenshotThumbnailPath(folder), "JPEG", kJpegQuality);
}

}  // namespace ravelin
