#include "gui/preferences/preferences_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/window_texts.h"
#include "gui/message_boxes.h"
#include "gui/window_numbers.h"
#include "i18n/language_table.h"
#include "settings/config_file.h"
#include "settings/formats.h"

namespace ravelin {
namespace {

constexpr int kPageCount = 9;

QString Text(const char* key) { return QString::fromStdString(GetText("Preferences", key)); }
using ravelin::Text;
QString Name(int control) {
  return QString::fromStdString(ControlName(kPreferencesWindow, control));
}

// On a scrolling page the wheel scrolls the page: a drop-down, spin box or slider takes it only
// once it has the focus, so scrolling past a control does not change a setting.
class WheelScrollsPage : public QObject {
 public:
  WheelScrollsPage(QScrollArea* area) : QObject(area), area_(area) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() != QEvent::Wheel || widget == nullptr || widget->hasFocus()) return false;
    QCoreApplication::sendEvent(area_->verticalScrollBar(), event);
    return true;
  }

 private:
  QScrollArea* area_;
};

void GuardWheel(QScrollArea* area) {
  auto* guard = new WheelScrollsPage(area);
  QWidget* content = area->widget();
  QList<QWidget*> controls;
  for (auto* w : content->findChildren<QComboBox*>()) controls << w;
  for (auto* w : content->findChildren<QAbstractSpinBox*>()) controls << w;
  for (auto* w : content->findChildren<QSlider*>()) controls << w;
  for (QWidget* control : controls) {
    control->setFocusPolicy(Qt::StrongFocus);
    control->installEventFilter(guard);
  }
}
}  // namespace

bool OpenPreferences(QWidget* mainWindow, WindowContext& context,
                     const std::function<void()>& applyInterfaceChanges) {
  PreferencesWindow window(mainWindow, context, applyInterfaceChanges);
  if (mainWindow != nullptr) {
    mainWindow->setEnabled(false);
    window.setEnabled(true);  // a window stays usable over its disabled parent when told so
    // Centred on the main window, but never partly off the screen the main window is on.
    QPoint place = mainWindow->geometry().center() - window.rect().center();
    if (const QScreen* screen = mainWindow->screen()) {
      const QRect available = screen->availableGeometry();
      place.setX(std::clamp(place.x(), available.left(),
                            std::max(available.left(), available.right() - window.width())));
      place.setY(std::clamp(place.y(), available.top(),
                            std::max(available.top(), available.bottom() - window.height())));
    }
    window.move(place);
  }
  window.exec();
  if (mainWindow != nullptr) {
    mainWindow->setEnabled(true);
    mainWindow->activateWindow();
    mainWindow->setFocus();
  }
  return window.Stored();
}

PreferencesWindow::PreferencesWindow(QWidget* parent, WindowContext& context,
                                     std::function<void()> applyInterfaceChanges)
    : QDialog(parent), context_(context), applyInterfaceChanges_(std::move(applyInterfaceChanges)) {
  setObjectName("w" + QString::number(kPreferencesWindow));
  setWindowTitle(Text("Title"));
  BuildFrame();
  Fill();
  focusWatch_ = connect(qApp, &QApplication::focusChanged, this,
                        [this](QWidget*, QWidget* now) { KeepFocusVisible(now); });
}

// The focus moves while the widgets are torn down, after this part of the window is gone.
PreferencesWindow::~PreferencesWindow() { disconnect(focusWatch_); }

int PreferencesWindow::CurrentPage() const { return pages_->currentIndex(); }

void PreferencesWindow::BuildFrame() {
  setFixedSize(600, 350);

  pageList_ = new QListWidget(this);
  pageList_->setObjectName(Name(kPrefsPageList));
  pageList_->setGeometry(10, 10, 120, 295);

  header_ = new QLabel(this);
  header_->setObjectName(Name(kPrefsHeader));
  header_->setGeometry(140, 10, 450, 30);
  header_->setAutoFillBackground(true);
  QPalette palette = header_->palette();
  palette.setColor(QPalette::Window, Qt::white);
  palette.setColor(QPalette::WindowText, Qt::black);
  header_->setPalette(palette);
  header_->setContentsMargins(8, 0, 8, 0);
  QFont headerFont("MS Shell Dlg", 10);
  headerFont.setBold(true);
  header_->setFont(headerFont);

  pages_ = new QStackedWidget(this);
  pages_->setGeometry(140, 50, 450, 255);
  for (const PreferencePage& page : PreferencePages()) pages_->addWidget(BuildPage(page));

  struct Button {
    int control;
    const char* key;
    int x;
    void (PreferencesWindow::*action)();
  };
  const Button buttons[] = {
      {kPrefsDefaultsButton, "Defaults", 10, &PreferencesWindow::OnDefaults},
      {kPrefsOkButton, "OK", 420, &PreferencesWindow::OnOk},
      {kPrefsCancelButton, "Cancel", 510, &PreferencesWindow::reject},
  };
  for (const Button& spec : buttons) {
    auto* button = new QPushButton(Text("Dialog", spec.key), this);
    button->setObjectName(Name(spec.control));
    button->setGeometry(spec.x, 315, 80, 25);
    // Enter in a field must not end the window behind the user's back.
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, spec.action);
  }

  connect(pageList_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) ShowPage(row);
  });
}

QWidget* PreferencesWindow::BuildPage(const PreferencePage& page) {
  pageList_->addItem(Text(page.title));
  auto* widget = new QWidget;
  auto* layout = new QVBoxLayout(widget);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  const bool output = std::string(page.title) == "Output";
  for (const PreferenceSection& section : page.sections) {
    layout->addWidget(BuildSection(section, output), section.scrolls ? 1 : 0);
  }
  layout->addStretch(0);
  return widget;
}

QWidget* PreferencesWindow::BuildSection(const PreferenceSection& section, bool output) {
  auto* content = new QWidget;
  auto* layout = new QVBoxLayout(content);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (const PreferenceRow& row : section.rows) layout->addWidget(BuildRow(row));

  QWidget* widget = content;
  if (section.scrolls) {
    layout->addStretch(1);
    auto* scroll = new QScrollArea;
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab goes from row to row; the page follows the focus, so the area needs none itself.
    scroll->setFocusPolicy(Qt::NoFocus);
    GuardWheel(scroll);
    widget = scroll;
  }
  if (section.name != nullptr) widget->setObjectName(section.name);
  sections_.push_back({&section, widget, output});
  return widget;
}

void PreferencesWindow::Fill() {
  for (BuiltRow& built : rows_) FillRow(built);
  ApplyRules();
  ShowFormatPages();
  ShowPage(std::clamp(context_.preferencesStartPage, 0, kPageCount - 1));
  context_.preferencesStartPage = 0;
  pageList_->setFocus();
}

void PreferencesWindow::ApplyRules() {
  for (const PreferenceRule& rule : PreferenceRules()) {
    const BuiltRow* controller = Find(rule.controller);
    if (controller == nullptr) continue;
    const int index = controller->check != nullptr ? (controller->check->isChecked() ? 1 : 0)
                                                   : controller->combo->currentIndex();
    const bool on = std::find(rule.indices.begin(), rule.indices.end(), index) !=
                    rule.indices.end();
    std::vector<QWidget*> targets;
    for (const SettingsField& field : rule.targets) {
      if (BuiltRow* target = Find(field)) targets.push_back(target->container);
    }
    if (rule.section != nullptr) {
      for (const BuiltSection& section : sections_) {
        const char* name = section.section->name;
        if (name != nullptr && std::string(name) == rule.section) targets.push_back(section.widget);
      }
    }
    for (QWidget* target : targets) {
      if (rule.action == RuleAction::Enable) {
        target->setEnabled(on);
      } else {
        target->setVisible(on);
      }
    }
  }
}

void PreferencesWindow::ShowFormatPages() {
  const BuiltRow* input = FindKind(RowKind::InputFormat);
  const BuiltRow* output = FindKind(RowKind::OutputFormat);
  if (input == nullptr || output == nullptr) return;
  auto selected = [](const BuiltRow* selector, const std::vector<std::string>& extensions) {
    const int index = selector->combo->currentIndex();
    return index >= 0 && index < static_cast<int>(extensions.size()) ? extensions[index]
                                                                     : std::string();
  };
  const std::string in = selected(input, ActiveInputExtensions());
  const std::string out = selected(output, ActiveOutputExtensions());
  for (const BuiltSection& section : sections_) {
    if (section.section->format == nullptr) continue;
    section.widget->setVisible((section.output ? out : in) == section.section->format);
  }
}

void PreferencesWindow::ShowPage(int page) {
  if (pageList_->currentRow() != page) pageList_->setCurrentRow(page);
  pages_->setCurrentIndex(page);
  header_->setText(pageList_->item(page)->text());
}

std::string PreferencesWindow::SelectedTheme() const {
  const BuiltRow* theme = FindKind(RowKind::Theme);
  const int index = theme != nullptr ? theme->combo->currentIndex() : -1;
  if (index < 0 || index >= static_cast<int>(sortedThemes_.size())) return {};
  return sortedThemes_[index].toStdString();
}

int PreferencesWindow::SelectedSize() const {
  const BuiltRow* size = Find(&Settings::UISize);
  return size != nullptr ? size->combo->currentIndex() : 0;
}

int PreferencesWindow::RefreshMarkFor(const Settings& against) const {
  if (SelectedTheme() != against.UITheme) return 1;
  if (SelectedSize() != against.UISize) return 2;
  return 0;
}

void PreferencesWindow::OnOk() {
  Settings& settings = context_.settings;
  const int mark = RefreshMarkFor(settings);
  for (const BuiltRow& built : rows_) StoreRow(built, settings);
  settings.DoImageColorCorrection = settings.ImageBrightness != 0 || settings.ImageContrast != 0 ||
                                            settings.ImageGamma != 1.0f || settings.ImageInvert != 0
                                        ? 1
                                        : 0;
  SaveSettings(settings);
  context_.refreshMark = mark;
  stored_ = true;
  if (applyInterfaceChanges_) applyInterfaceChanges_();
  accept();
}

void PreferencesWindow::OnDefaults() {
  if (!AskYesNo(this, Text("Msg", "Reset to Defaults"), Text("Msg", "Ask reset to defaults"),
                AskIcon::Question)) {
    return;
  }
  DesktopSize desktop;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    desktop = {screen->size().width(), screen->size().height()};
  }
  ResetSettings(context_.settings, false, desktop);
  const int mark = RefreshMarkFor(context_.settings);
  SaveSettings(context_.settings);
  context_.refreshMark = mark;
  stored_ = true;
  if (applyInterfaceChanges_) applyInterfaceChanges_();
  accept();
}

void PreferencesWindow::KeepFocusVisible(QWidget* focused) {
  if (focused == nullptr || !isAncestorOf(focused)) return;
  for (QWidget* parent = focused->parentWidget(); parent != nullptr && parent != this;
       parent = parent->parentWidget()) {
    if (auto* scroll = qobject_cast<QScrollArea*>(parent)) {
      scroll->ensureWidgetVisible(focused);
      return;
    }
  }
}

PreferencesWindow::BuiltRow* PreferencesWindow::Find(const SettingsField& field) {
  for (BuiltRow& built : rows_) {
    if (built.row->field && *built.row->field == field) return &built;
  }
  return nullptr;
}
const PreferencesWindow::BuiltRow* PreferencesWindow::Find(const SettingsField& field) const {
  return const_cast<PreferencesWindow*>(this)->Find(field);
}
PreferencesWindow::BuiltRow* PreferencesWindow::FindKind(RowKind kind) {
  for (BuiltRow& built : rows_) {
    if (built.row->kind == kind) return &built;
  }
  return nullptr;
}
const PreferencesWindow::BuiltRow* PreferencesWindow::FindKind(RowKind kind) const {
  return const_cast<PreferencesWindow*>(this)->FindKind(kind);
}

}  // namespace ravelin
