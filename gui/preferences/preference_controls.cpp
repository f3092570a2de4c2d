// Building, filling and storing the controls of one row, by the row's kind.
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <algorithm>
#include <cmath>
#include <limits>

#include "gui/preferences/color_text.h"
#include "gui/preferences/number_boxes.h"
#include "gui/preferences/preferences_window.h"
#include "gui/preferences/setting_values.h"
#include "i18n/language_table.h"
#include "settings/formats.h"

namespace ravelin {
namespace {

QString Text(const char* key) { return QString::fromStdString(GetText("Preferences", key)); }

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

// The row grid at 100 %: label column 160 wide, main control 240 wide (narrower by a 70-wide
// second control and the gap when one follows), rows 30 apart.
constexpr int kLabelWidth = 160;
constexpr int kMainWidth = 240;
constexpr int kSecondWidth = 70;
constexpr int kGap = 10;
constexpr int kRowHeight = 30;

}  // namespace

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
        const QString& display = context_.themeNames.at(sortedThemes_[i]);
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

}  // namespace ravelin
