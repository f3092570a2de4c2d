#include "gui/search_window.h"

#include <QDialog>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include "gui/child_window.h"
#include "gui/window_texts.h"
#include "gui/message_boxes.h"
#include "gui/window_numbers.h"
#include "i18n/language_table.h"
#include "platform/product.h"

namespace ravelin {
namespace {

template <typename Widget>
Widget* Place(Widget* widget, int control, int x, int y, int width, int height) {
  widget->setObjectName(QString::fromStdString(ControlName(kSearchWindow, control)));
  widget->setGeometry(x, y, width, height);
  return widget;
}

}  // namespace

QString SearchExtension(const QString& text) {
  const QString head = text.toLower().left(12);
  QString cleaned;
  for (const QChar c : head) {
    if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
        (c >= QLatin1Char('a') && c <= QLatin1Char('z'))) {
      cleaned += c;
    }
  }
  return cleaned;
}

QString SearchPage(const QString& from, const QString& to) {
  return QString(kWebSite) + kSearchPagePath + from + "-" + to + "/";
}

void ShowSearchWindow(QWidget* mainWindow, WindowContext& context) {
  (void)context;
  auto* window = new QDialog(mainWindow);
  window->setObjectName(QString::fromStdString(WindowName(kSearchWindow)));
  window->setWindowTitle(Text("Custom-Converter", "Title"));
  window->setFixedSize(370, 60);
  window->setWindowModality(Qt::WindowModal);

  auto* fromLabel = Place(new QLabel(Text("Custom-Converter", "From"), window), kSearchFromLabel,
                          10, 23, 40, 20);
  auto* from = Place(new QLineEdit(window), kSearchFromField, 50, 20, 80, 20);
  auto* toLabel = Place(new QLabel(Text("Custom-Converter", "To"), window), kSearchToLabel,
                        150, 23, 30, 20);
  auto* to = Place(new QLineEdit(window), kSearchToField, 180, 20, 80, 20);
  fromLabel->setBuddy(from);
  toLabel->setBuddy(to);
  auto* search = Place(new QPushButton(Text("Custom-Converter", "Search"), window), kSearchButton,
                       280, 18, 80, 25);
  search->setDefault(true);

  // Return searches; Escape raises the cancel command.
  for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
    QObject::connect(new QShortcut(key, window), &QShortcut::activated, search,
                     &QPushButton::click);
  }
  auto* cancel = new QShortcut(QKeySequence(Qt::Key_Escape), window);
  cancel->setObjectName(QString::fromStdString(CommandName(kSearchCancel)));
  QObject::connect(cancel, &QShortcut::activated, window, &QDialog::close);

  QObject::connect(search, &QPushButton::clicked, window, [window, from, to] {
    const QString fromExtension = SearchExtension(from->text());
    const QString toExtension = SearchExtension(to->text());
    if (fromExtension.isEmpty() || toExtension.isEmpty()) {
      ShowWarning(window, Text("Msg", "Empty extensions"));
      return;
    }
    window->hide();
    ShellOpen(SearchPage(fromExtension, toExtension));
    window->accept();
  });
  ShowChildWindow(window, mainWindow, from);
}

}  // namespace ravelin
