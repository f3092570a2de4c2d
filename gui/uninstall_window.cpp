#include "gui/uninstall_window.h"

#include <QCheckBox>
#include <QDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

#include "gui/window_texts.h"
#include "gui/message_boxes.h"
#include "gui/window_numbers.h"
#include "i18n/language_table.h"
#include "platform/product.h"

namespace ravelin {
namespace {

}  // namespace

QString UninstallPage() { return QString(kWebSite) + kUninstallPagePath; }

void RunUninstallWindow(WindowContext& context) {
  (void)context;
  QDialog window;
  window.setObjectName(QString::fromStdString(WindowName(kUninstallWindow)));
  window.setWindowTitle(Text("Uninstall", "Title"));
  window.setFixedSize(300, 100);

  auto* box = new QCheckBox(Text("Uninstall", "Uninstall Text"), &window);
  box->setObjectName(QString::fromStdString(ControlName(kUninstallWindow, kUninstallCheckBox)));
  box->setGeometry(30, 20, 250, 20);
  box->setChecked(true);
  auto* next = new QPushButton(Text("Uninstall", "Next"), &window);
  next->setObjectName(QString::fromStdString(ControlName(kUninstallWindow, kUninstallNextButton)));
  next->setGeometry(200, 60, 80, 25);
  QObject::connect(next, &QPushButton::clicked, &window, [&window, box] {
    if (box->isChecked()) ShellOpen(UninstallPage());
    window.accept();
  });

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    window.move(screen->availableGeometry().center() - window.rect().center());
  }
  window.activateWindow();
  window.exec();
}

}  // namespace ravelin
