// The preferences window: nine pages that edit every option of the converter, built from the
// row tables of gui/preferences/preference_rows.h. It is filled from the settings when it
// opens; OK copies every control back and saves the configuration, Defaults resets and saves
// after a confirmation, and Cancel, Escape and the close box discard the edits. Only the three
// history lists (`Fonts`, `Font Colors`, `Back Colors`) change while it is open. The main
// window opens it through OpenPreferences.
#pragma once

#include <QDialog>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "gui/preferences/preference_rows.h"
#include "gui/window_context.h"

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QSpinBox;
class QStackedWidget;

namespace ravelin {

// Opens the window modal over `mainWindow` (which is disabled meanwhile) on page
// context.preferencesStartPage, then sets that page back to 0. After OK or a confirmed
// Defaults the settings are saved, context.refreshMark says what the main window must reload
// and `applyInterfaceChanges` runs while the window still exists. True when the settings were
// stored (OK or Defaults), false when the edits were discarded.
bool OpenPreferences(QWidget* mainWindow, WindowContext& context,
                     const std::function<void()>& applyInterfaceChanges);

class PreferencesWindow : public QDialog {
  Q_OBJECT
 public:
  PreferencesWindow(QWidget* parent, WindowContext& context,
                    std::function<void()> applyInterfaceChanges);
  ~PreferencesWindow() override;

  int CurrentPage() const;
  // True once OK or a confirmed Defaults stored the settings.
  bool Stored() const { return stored_; }

 private:
  // The controls of one built row; which of them exist depends on the row's kind.
  struct BuiltRow {
    const PreferenceRow* row = nullptr;
    QWidget* container = nullptr;
    QComboBox* combo = nullptr;
    QCheckBox* check = nullptr;
    QLineEdit* edit = nullptr;
    QSpinBox* spin = nullptr;
    QSlider* slider = nullptr;
    QComboBox* unit = nullptr;
    QPushButton* button = nullptr;
    QDateTimeEdit* date = nullptr;
  };
  struct BuiltSection {
    const PreferenceSection* section = nullptr;
    QWidget* widget = nullptr;  // the scroll area for scrolling sections
    bool output = false;        // a format sub-page of the Output page
  };

  void BuildFrame();
  QWidget* BuildPage(const PreferencePage& page);
  QWidget* BuildSection(const PreferenceSection& section, bool output);
  QWidget* BuildRow(const PreferenceRow& row);

  void Fill();
  void FillRow(BuiltRow& built);
  void StoreRow(const BuiltRow& built, Settings& settings) const;
  void ApplyRules();
  void ShowFormatPages();
  void ShowPage(int page);

  // The theme name and icon size selected in the Interface page.
  std::string SelectedTheme() const;
  int SelectedSize() const;
  int RefreshMarkFor(const Settings& against) const;

  void OnOk();
  void OnDefaults();
  void OnChooseFont(BuiltRow& built);
  void OnChooseHistoryColor(BuiltRow& built);
  void OnChooseSwatchColor(BuiltRow& built);
  void OnChooseImage(BuiltRow& built);
  void KeepFocusVisible(QWidget* focused);

  BuiltRow* Find(const SettingsField& field);
  const BuiltRow* Find(const SettingsField& field) const;
  BuiltRow* FindKind(RowKind kind);
  const BuiltRow* FindKind(RowKind kind) const;

  WindowContext& context_;
  std::function<void()> applyInterfaceChanges_;
  QListWidget* pageList_ = nullptr;
  QLabel* header_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  std::deque<BuiltRow> rows_;  // a deque: the requesters keep references to their rows
  std::vector<BuiltSection> sections_;
  std::vector<QString> sortedThemes_;
  bool stored_ = false;
  QMetaObject::Connection focusWatch_;
};

}  // namespace ravelin
