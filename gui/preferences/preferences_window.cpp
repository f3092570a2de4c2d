#include "gui/preferences/preferences_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

#include "gui/message_boxes.h"
#include "gui/preferences/color_text.h"
#include "gui/preferences/number_boxes.h"
#include "gui/window_numbers.h"
#include "i18n/language_table.h"
#include "settings/config_file.h"
#include "settings/font_attributes.h"
#include "settings/formats.h"

namespace ravelin {
namespace {

constexpr int kPageCount = 9;

QString Text(const char* key) { return QString::fromStdString(GetText("Preferences", key)); }
QString Text(const char* group, const char* key) {
  return QString::fromStdString(GetText(group, key));
}
QString Name(int control) {
  return QString::fromStdString(ControlName(kPreferencesWindow, control));
}

// The image requester's filter: the all-supported entry, then the three image kinds in the
// walking order of the format hash map, then every file.
struct FilterEntry {
  const char* description;
  const char* patterns;
};
const FilterEntry kWatermarkImageFilter[] = {
    {"JPEG File", "*.jpg;*.jpeg;*.jpe;*.jif"},
    {"Portable Network Graphics", "*.png"},
    {"Windows or OS/2 Bitmap", "*.bmp;*.rle;*.dib"},
};

QString WatermarkImageFilter() {
  QStringList all;
  QStringList entries;
  for (const FilterEntry& entry : kWatermarkImageFilter) {
    const QString patterns = QString(entry.patterns).replace(';', ' ');
    all << patterns;
    entries << QString("%1 (%2)").arg(entry.description, patterns);
  }
  entries.prepend(QString("%1 (%2)").arg(Text("Dialog", "All Supported Files"), all.join(' ')));
  entries << Text("Dialog", "All Files") + " (*)";
  return entries.join(";;");
}

int64_t ReadInteger(const Settings& settings, const SettingsField& field) {
  return std::visit(
      [&](auto member) -> int64_t {
        using Value = std::decay_t<decltype(settings.*member)>;
        if constexpr (std::is_same_v<Value, std::string>) {
          return 0;
        } else if constexpr (std::is_same_v<Value, float>) {
          return std::isfinite(settings.*member) ? std::llround(settings.*member) : 0;
        } else {
          return settings.*member;
        }
      },
      field);
}

std::string* TextField(Settings& settings, const SettingsField& field) {
  auto member = std::get_if<std::string Settings::*>(&field);
  return member != nullptr ? &(settings.**member) : nullptr;
}
const std::string& TextOf(const Settings& settings, const SettingsField& field) {
  static const std::string kEmpty;
  auto member = std::get_if<std::string Settings::*>(&field);
  return member != nullptr ? settings.**member : kEmpty;
}

// A number field's value: its leading digits, 0 when there are none; too many digits give the
// largest value a setting holds.
int32_t ReadNumberField(const QString& text) {
  int64_t value = 0;
  for (const QChar c : text) {
    if (c < '0' || c > '9') break;
    value = std::min<int64_t>(value * 10 + (c.unicode() - '0'),
                              std::numeric_limits<int32_t>::max());
  }
  return static_cast<int32_t>(value);
}

// Text as the settings keep it: spaces trimmed at both ends, then every TAB, CR and LF gone.
std::string CleanText(const QString& text) {
  int first = 0;
  int last = text.size();
  while (first < last && text[first] == ' ') ++first;
  while (last > first && text[last - 1] == ' ') --last;
  QString cleaned = text.mid(first, last - first);
  cleaned.remove('\t').remove('\r').remove('\n');
  return cleaned.toStdString();
}

int Clamp(int64_t value, int low, int high) {
  return static_cast<int>(std::clamp<int64_t>(value, low, high));
}

// A stored choice outside the list shows as the nearest item.
void SelectClamped(QComboBox* combo, int64_t index) {
  if (combo->count() > 0) combo->setCurrentIndex(Clamp(index, 0, combo->count() - 1));
}

QString StripColon(QString text) {
  if (text.endsWith(':')) text.chop(1);
  return text;
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

constexpr int kLabelWidth = 160;
constexpr int kMainWidth = 240;
constexpr int kSecondWidth = 70;
constexpr int kGap = 10;
constexpr int kRowHeight = 30;

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
  connect(qApp, &QApplication::focusChanged, this,
          [this](QWidget*, QWidget* now) { KeepFocusVisible(now); });
}

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

QWidget* PreferencesWindow::BuildRow(const PreferenceRow& row) {
  rows_.push_back({});
  BuiltRow& built = rows_.back();
  built.row = &row;

  auto* container = new QWidget;
  built.container = container;
  container->setMinimumHeight(kRowHeight);
  auto* layout = new QHBoxLayout(container);
  layout->setContentsMargins(kGap, 0, kGap, 0);
  layout->setSpacing(kGap);
  auto* label = new QLabel(Text(row.label));
  label->setFixedWidth(kLabelWidth - kGap);
  label->setWordWrap(true);
  layout->addWidget(label);

  const QString name = row.field ? QString::fromStdString(SettingName(*row.field))
                                 : QString("Fixed/") + row.label;
  const QString spoken = StripColon(label->text());
  auto addMain = [&](QWidget* main, bool followed) {
    main->setObjectName(name);
    main->setMaximumWidth(followed ? kMainWidth - kSecondWidth - kGap : kMainWidth);
    layout->addWidget(main, 1);
    label->setBuddy(main);
  };
  auto addSecond = [&](QWidget* second, const QString& suffix, int width) {
    second->setObjectName(name + suffix);
    second->setAccessibleName(spoken + suffix);
    second->setFixedWidth(width);
    layout->addWidget(second);
  };
  auto addDots = [&]() {
    built.button = new QPushButton("...");
    built.button->setAutoDefault(false);
    addSecond(built.button, " button", 30);
  };
  auto watchRules = [this](QComboBox* combo) {
    connect(combo, &QComboBox::currentIndexChanged, this, [this] { ApplyRules(); });
  };

  switch (row.kind) {
    case RowKind::Language:
    case RowKind::Theme:
    case RowKind::Bpp:
    case RowKind::Choice:
    case RowKind::Fixed:
      built.combo = new QComboBox;
      addMain(built.combo, false);
      for (const char* item : row.items) built.combo->addItem(Text(item));
      watchRules(built.combo);
      break;
    case RowKind::InputFormat:
    case RowKind::OutputFormat:
      built.combo = new QComboBox;
      built.combo->setIconSize(QSize(16, 16));
      addMain(built.combo, false);
      connect(built.combo, &QComboBox::currentIndexChanged, this, [this] { ShowFormatPages(); });
      break;
    case RowKind::Check:
    case RowKind::HiddenCheck:
      built.check = new QCheckBox;
      addMain(built.check, false);
      connect(built.check, &QCheckBox::toggled, this, [this] { ApplyRules(); });
      if (row.kind == RowKind::HiddenCheck) container->hide();
      break;
    case RowKind::Number: {
      built.edit = new QLineEdit;
      built.edit->setValidator(
          new QRegularExpressionValidator(QRegularExpression("[0-9]{0,10}"), built.edit));
      addMain(built.edit, true);
      built.unit = new QComboBox;
      for (const char* item : row.items) built.unit->addItem(Text(item));
      addSecond(built.unit, " unit", kSecondWidth);
      if (row.unit) built.unit->setObjectName(QString::fromStdString(SettingName(*row.unit)));
      break;
    }
    case RowKind::Slider:
    case RowKind::Gamma: {
      built.slider = new QSlider(Qt::Horizontal);
      built.spin = row.kind == RowKind::Gamma ? new GammaSpinBox : new ClampingSpinBox;
      if (row.kind == RowKind::Slider) {
        built.spin->setRange(row.low, row.high);
        built.slider->setRange(row.low + row.sliderOffset, row.high + row.sliderOffset);
      } else {
        built.slider->setRange(built.spin->minimum(), built.spin->maximum());
      }
      addMain(built.slider, true);
      built.slider->setObjectName(name + " slider");
      built.slider->setAccessibleName(spoken);
      built.spin->setObjectName(name);
      built.spin->setFixedWidth(kSecondWidth);
      layout->addWidget(built.spin);
      label->setBuddy(built.spin);
      const int offset = row.sliderOffset;
      QSpinBox* spin = built.spin;
      QSlider* slider = built.slider;
      // Setting a spin box rewrites its text, so only a real change may reach it while the
      // user is still typing.
      connect(slider, &QSlider::valueChanged, spin, [spin, offset](int v) {
        if (spin->value() != v - offset) spin->setValue(v - offset);
      });
      connect(spin, &QSpinBox::valueChanged, slider,
              [slider, offset](int v) { slider->setValue(v + offset); });
      break;
    }
    case RowKind::Text:
      built.edit = new QLineEdit;
      addMain(built.edit, false);
      break;
    case RowKind::ImageFile:
      built.edit = new QLineEdit;
      addMain(built.edit, true);
      addDots();
      connect(built.button, &QPushButton::clicked, this, [this, &built] { OnChooseImage(built); });
      break;
    case RowKind::Swatch:
      built.button = new QPushButton;
      built.button->setAutoDefault(false);
      built.button->setIconSize(QSize(34, 12));
      built.button->setObjectName(name + " swatch");
      built.button->setAccessibleName(spoken);
      built.button->setFixedWidth(kSecondWidth);
      layout->addWidget(built.button);
      label->setBuddy(built.button);
      built.edit = new QLineEdit;
      built.edit->setReadOnly(true);
      built.edit->setObjectName(name);
      built.edit->setAccessibleName(spoken);
      built.edit->setMaximumWidth(kMainWidth - kSecondWidth - kGap);
      layout->addWidget(built.edit, 1);
      connect(built.button, &QPushButton::clicked, this,
              [this, &built] { OnChooseSwatchColor(built); });
      break;
    case RowKind::FontList:
      built.combo = new QComboBox;
      addMain(built.combo, true);
      addDots();
      connect(built.button, &QPushButton::clicked, this, [this, &built] { OnChooseFont(built); });
      break;
    case RowKind::ColorList:
      built.combo = new QComboBox;
      built.combo->setIconSize(QSize(16, 16));
      addMain(built.combo, true);
      addDots();
      connect(built.button, &QPushButton::clicked, this,
              [this, &built] { OnChooseHistoryColor(built); });
      break;
    case RowKind::Date:
      built.date = new QDateTimeEdit;
      built.date->setTimeSpec(Qt::UTC);
      built.date->setDisplayFormat("yyyy/MM/dd hh:mm");
      // Dates are 32-bit seconds since 1970 counted in local time.
      built.date->setDateTimeRange(QDateTime::fromSecsSinceEpoch(0, Qt::UTC),
                                   QDateTime::fromSecsSinceEpoch(
                                       std::numeric_limits<int32_t>::max(), Qt::UTC));
      addMain(built.date, false);
      break;
  }
  layout->addStretch(0);
  return container;
}

void PreferencesWindow::Fill() {
  for (BuiltRow& built : rows_) FillRow(built);
  ApplyRules();
  ShowFormatPages();
  ShowPage(std::clamp(context_.preferencesStartPage, 0, kPageCount - 1));
  context_.preferencesStartPage = 0;
  pageList_->setFocus();
}

void PreferencesWindow::FillRow(BuiltRow& built) {
  Settings& settings = context_.settings;
  const PreferenceRow& row = *built.row;
  const QIcon formatPicture(QPixmap::fromImage(context_.pictures.menu["New"]));
  switch (row.kind) {
    case RowKind::Language:
      built.combo->clear();
      built.combo->addItem("English");
      break;
    case RowKind::Theme: {
      built.combo->clear();
      sortedThemes_.clear();
      for (const auto& [theme, display] : context_.themeNames) sortedThemes_.push_back(theme);
      std::sort(sortedThemes_.begin(), sortedThemes_.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
      });
      int selected = 0;
      for (size_t i = 0; i < sortedThemes_.size(); ++i) {
        const QString& display = context_.themeNames[sortedThemes_[i]];
        built.combo->addItem(display.isEmpty() ? sortedThemes_[i] : display);
        if (sortedThemes_[i].toStdString() == settings.UITheme) selected = static_cast<int>(i);
      }
      if (sortedThemes_.empty()) built.combo->addItem(Text("None"));
      built.combo->setCurrentIndex(selected);
      break;
    }
    case RowKind::InputFormat:
    case RowKind::OutputFormat: {
      const bool input = row.kind == RowKind::InputFormat;
      const auto& extensions = input ? ActiveInputExtensions() : ActiveOutputExtensions();
      const std::string& current = input ? settings.InputFormat : settings.OutputFormat;
      built.combo->clear();
      int selected = 0;
      for (size_t i = 0; i < extensions.size(); ++i) {
        built.combo->addItem(formatPicture, QString::fromStdString(extensions[i]).toUpper(),
                             static_cast<int>(i));
        if (extensions[i] == current) selected = static_cast<int>(i);
      }
      built.combo->setCurrentIndex(selected);
      break;
    }
    case RowKind::Bpp: {
      built.combo->clear();
      built.combo->addItem(Text("Auto"));
      const int64_t bpp = ReadInteger(settings, *row.field);
      int selected = 0;
      for (int depth : AllowedBitDepths(row.extension)) {
        built.combo->addItem(QString::number(depth));
        if (depth == bpp) selected = built.combo->count() - 1;
      }
      built.combo->setCurrentIndex(selected);
      break;
    }
    case RowKind::Choice:
      SelectClamped(built.combo, ReadInteger(settings, *row.field));
      break;
    case RowKind::Fixed:
      built.combo->setCurrentIndex(0);
      break;
    case RowKind::Check:
    case RowKind::HiddenCheck:
      built.check->setChecked(ReadInteger(settings, *row.field) != 0);
      break;
    case RowKind::Number:
      built.edit->setText(QString::number(std::max<int64_t>(0, ReadInteger(settings, *row.field))));
      if (row.unit) {
        SelectClamped(built.unit, ReadInteger(settings, *row.unit));
      } else {
        built.unit->setCurrentIndex(0);
      }
      break;
    case RowKind::Slider:
      built.spin->setValue(Clamp(ReadInteger(settings, *row.field), row.low, row.high));
      built.slider->setValue(built.spin->value() + row.sliderOffset);
      break;
    case RowKind::Gamma: {
      const float gamma = settings.ImageGamma;
      const int64_t hundredths = std::isfinite(gamma) ? std::llround(gamma * 100.0) : 100;
      built.spin->setValue(Clamp(hundredths, 1, 999));
      built.slider->setValue(built.spin->value());
      break;
    }
    case RowKind::Text:
    case RowKind::ImageFile:
      built.edit->setText(QString::fromStdString(TextOf(settings, *row.field)));
      break;
    case RowKind::Swatch: {
      const QColor color = ParseColorText(QString::fromStdString(TextOf(settings, *row.field)));
      built.edit->setText(ColorText(color));
      built.button->setIcon(ColorSwatch(color, 34, 12));
      break;
    }
    case RowKind::FontList: {
      // The list always offers at least the font in use.
      if (settings.Fonts.empty()) settings.Fonts = settings.Font;
      built.combo->clear();
      built.combo->addItems(HistoryEntries(settings.Fonts));
      const QString font = QString::fromStdString(settings.Font);
      if (built.combo->findText(font) < 0) built.combo->addItem(font);
      built.combo->setCurrentIndex(built.combo->findText(font));
      break;
    }
    case RowKind::ColorList: {
      built.combo->clear();
      for (const QString& entry : HistoryEntries(TextOf(settings, *row.history))) {
        const QColor color = ParseColorText(entry);
        if (built.combo->findData(ColorText(color)) >= 0) continue;
        built.combo->addItem(ColorSwatch(color, 16, 16), ColorDisplayName(color), ColorText(color));
      }
      const QColor current = ParseColorText(QString::fromStdString(TextOf(settings, *row.field)));
      built.combo->setCurrentIndex(std::max(0, built.combo->findData(ColorText(current))));
      break;
    }
    case RowKind::Date:
      built.date->setDateTime(QDateTime::fromSecsSinceEpoch(
          std::max<int64_t>(0, ReadInteger(settings, *row.field)), Qt::UTC));
      break;
  }
}

void PreferencesWindow::StoreRow(const BuiltRow& built, Settings& settings) const {
  const PreferenceRow& row = *built.row;
  switch (row.kind) {
    case RowKind::Language:
      settings.Language = "en";
      break;
    case RowKind::Theme:
      settings.UITheme = SelectedTheme();
      break;
    case RowKind::InputFormat:
    case RowKind::OutputFormat: {
      const bool input = row.kind == RowKind::InputFormat;
      const auto& extensions = input ? ActiveInputExtensions() : ActiveOutputExtensions();
      const int index = built.combo->currentIndex();
      if (index >= 0 && index < static_cast<int>(extensions.size())) {
        (input ? settings.InputFormat : settings.OutputFormat) = extensions[index];
      }
      break;
    }
    case RowKind::Bpp:
      AssignInteger(settings, *row.field,
                    built.combo->currentIndex() <= 0 ? 0 : built.combo->currentText().toInt());
      break;
    case RowKind::Choice:
      if (built.combo->currentIndex() >= 0) {
        AssignInteger(settings, *row.field, built.combo->currentIndex());
      }
      break;
    case RowKind::Fixed:
    case RowKind::HiddenCheck:
      break;
    case RowKind::Check:
      AssignInteger(settings, *row.field, built.check->isChecked() ? 1 : 0);
      break;
    case RowKind::Number:
      AssignInteger(settings, *row.field, ReadNumberField(built.edit->text()));
      if (row.unit) AssignInteger(settings, *row.unit, built.unit->currentIndex());
      break;
    case RowKind::Slider:
      AssignInteger(settings, *row.field, built.spin->value());
      break;
    case RowKind::Gamma:
      settings.ImageGamma = static_cast<float>(built.spin->value()) / 100.0f;
      break;
    case RowKind::Text:
    case RowKind::ImageFile:
      *TextField(settings, *row.field) = CleanText(built.edit->text());
      break;
    case RowKind::Swatch:
      *TextField(settings, *row.field) =
          ColorText(ParseColorText(built.edit->text())).toStdString();
      break;
    case RowKind::FontList:
      *TextField(settings, *row.field) = built.combo->currentText().toStdString();
      break;
    case RowKind::ColorList:
      if (built.combo->currentIndex() >= 0) {
        *TextField(settings, *row.field) = built.combo->currentData().toString().toStdString();
      }
      break;
    case RowKind::Date:
      AssignInteger(settings, *row.field,
                    static_cast<int32_t>(built.date->dateTime().toSecsSinceEpoch()));
      break;
  }
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

void PreferencesWindow::OnChooseFont(BuiltRow& built) {
  Settings& settings = context_.settings;
  BuiltRow* size = Find(&Settings::FontSize);
  BuiltRow* style = Find(&Settings::FontStyle);
  FontChoice initial;
  initial.family = built.combo->currentText();
  initial.points = size != nullptr ? ReadNumberField(size->edit->text()) : 0;
  if (style != nullptr) {
    const FontAttributes attributes = FontAttributesFor(style->combo->currentIndex(), 0);
    initial.bold = attributes.bold;
    initial.italic = attributes.italic;
  }
  const std::optional<FontChoice> chosen = CurrentDialogs().ChooseFont(this, initial);
  if (!chosen) return;

  const QString name = QString(chosen->family).remove(',');
  if (!HistoryEntries(settings.Fonts).contains(name)) {
    settings.Fonts += (settings.Fonts.empty() ? "" : ",") + name.toStdString();
  }
  if (built.combo->findText(name) < 0) built.combo->addItem(name);
  built.combo->setCurrentIndex(built.combo->findText(name));
  if (size != nullptr && chosen->points > 0) size->edit->setText(QString::number(chosen->points));
  if (style != nullptr) {
    for (int index = 0; index < style->combo->count(); ++index) {
      const FontAttributes attributes = FontAttributesFor(index, 0);
      if (attributes.bold == chosen->bold && attributes.italic == chosen->italic) {
        style->combo->setCurrentIndex(index);
        break;
      }
    }
  }
}

void PreferencesWindow::OnChooseHistoryColor(BuiltRow& built) {
  const QColor initial = ParseColorText(built.combo->currentData().toString());
  const std::optional<QColor> chosen = CurrentDialogs().ChooseColor(this, initial);
  if (!chosen) return;
  const QString text = ColorText(*chosen);
  std::string& history = *TextField(context_.settings, *built.row->history);
  bool known = false;
  for (const QString& entry : HistoryEntries(history)) {
    known = known || ColorText(ParseColorText(entry)) == text;
  }
  if (!known) history += (history.empty() ? "" : ",") + text.toStdString();
  if (built.combo->findData(text) < 0) {
    const QColor color = ParseColorText(text);
    built.combo->addItem(ColorSwatch(color, 16, 16), ColorDisplayName(color), text);
  }
  built.combo->setCurrentIndex(built.combo->findData(text));
}

void PreferencesWindow::OnChooseSwatchColor(BuiltRow& built) {
  const QColor current = ParseColorText(built.edit->text());
  const std::optional<QColor> chosen = CurrentDialogs().ChooseColor(this, current);
  if (!chosen || ColorText(*chosen) == ColorText(current)) return;
  const QColor color = ParseColorText(ColorText(*chosen));
  built.edit->setText(ColorText(color));
  built.button->setIcon(ColorSwatch(color, 34, 12));
}

void PreferencesWindow::OnChooseImage(BuiltRow& built) {
  const QString chosen = CurrentDialogs().ChooseFile(
      this, Text("Dialog", "Select Watermark Image"), built.edit->text().trimmed(),
      WatermarkImageFilter());
  if (!chosen.isEmpty()) built.edit->setText(chosen);
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
