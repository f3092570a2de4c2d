#include "gui/child_window.h"

#include <QDialog>

namespace ravelin {

void ShowChildWindow(QDialog* window, QWidget* mainWindow, QWidget* focus) {
  QObject::connect(window, &QDialog::finished, window, [window, mainWindow] {
    window->deleteLater();
    if (mainWindow != nullptr) mainWindow->activateWindow();
  });
  if (mainWindow != nullptr) {
    window->move(mainWindow->frameGeometry().center() - window->rect().center());
  }
  window->show();
  window->activateWindow();
  focus->setFocus();
}

}  // namespace ravelin
