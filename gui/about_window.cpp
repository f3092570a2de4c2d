#include "gui/about_window.h"

#include <QDialog>
#include <QFrame>
#include <QKeySequence>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>

#include "gui/child_window.h"
#include "gui/window_texts.h"
#include "gui/message_boxes.h"
#include "gui/window_numbers.h"
#include "i18n/language_table.h"
#include "platform/product.h"
#include "settings/settings.h"

namespace ravelin {
namespace {

// A hyperlink: blue text, underlined under the pointer, that opens its target through the
// shell when clicked.
class HyperlinkLabel final : public QLabel {
 public:
  HyperlinkLabel(const QString& text, QString target, QWidget* parent)
      : QLabel(text, parent), target_(std::move(target)) {
    setCursor(Qt::PointingHandCursor);
    setStyleSheet("color: rgb(0, 0, 255);");
  }

 protected:
  void enterEvent(QEnterEvent* event) override {
    SetUnderline(true);
    QLabel::enterEvent(event);
  }
  void leaveEvent(QEvent* event) override {
    SetUnderline(false);
    QLabel::leaveEvent(event);
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
      ShellOpen(target_);
    }
    QLabel::mouseReleaseEvent(event);
  }

 private:
  void SetUnderline(bool on) {
    QFont f = font();
    f.setUnderline(on);
    setFont(f);
  }
  QString target_;
};

template <typename Widget>
Widget* Place(Widget* widget, int control, int x, int y, int width, int height) {
  widget->setObjectName(QString::fromStdString(ControlName(kAboutWindow, control)));
  widget->setGeometry(x, y, width, height);
  return widget;
}

}  // namespace

void ShowAboutWindow(QWidget* mainWindow, WindowContext& context) {
  auto* window = new QDialog(mainWindow);
  window->setObjectName(QString::fromStdString(WindowName(kAboutWindow)));
  window->setWindowTitle(Text("About", "Title"));
  window->setFixedSize(360, 240);
  // Keeps input away from the main window while the about window is open.
  window->setWindowModality(Qt::WindowModal);

  auto* banner = Place(new QLabel(window), kAboutBanner, 0, 0, 360, 40);
  banner->setPixmap(QPixmap::fromImage(context.pictures.aboutBanner));
  auto* frame = Place(new QFrame(window), kAboutFrame, 0, 40, 360, 150);
  frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  frame->setLineWidth(1);

  auto* title = Place(new QLabel(QString::fromStdString(context.appTitle), window),
                      kAboutTitleLabel, 20, 50, 320, 20);
  title->setAlignment(Qt::AlignCenter);
  auto* notice = Place(new QLabel(QString::fromStdString(MakerNotice()), window),
                       kAboutNoticeLabel, 20, 70, 320, 20);
  notice->setAlignment(Qt::AlignCenter);
  auto* webLabel = Place(new QLabel(Text("About", "Website"), window), kAboutWebLabel, 80, 100, 60, 20);
  auto* emailLabel = Place(new QLabel(Text("About", "Email"), window), kAboutEmailLabel, 80, 120, 50, 20);
  auto* web = Place(new HyperlinkLabel(kWebSite, kWebSite, window), kAboutWebLink, 140, 100, 215, 20);
  auto* email = Place(new HyperlinkLabel(kSupportAddress, QString("mailto:") + kSupportAddress, window),
                      kAboutEmailLink, 140, 120, 215, 20);
  webLabel->setBuddy(web);
  emailLabel->setBuddy(email);
  web->setAccessibleName(Text("About", "Website"));
  email->setAccessibleName(Text("About", "Email"));
  auto* ok = Place(new QPushButton(Text("Dialog", "OK"), window), kAboutOkButton, 140, 200, 80, 25);

  // Return and Escape act as the OK button.
  for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter),
                                 QKeySequence(Qt::Key_Escape)}) {
    QObject::connect(new QShortcut(key, window), &QShortcut::activated, ok, &QPushButton::click);
  }
  QObject::connect(ok, &QPushButton::clicked, window, &QDialog::close);
  ShowChildWindow(window, mainWindow, ok);
}

}  // namespace ravelin
