#include "gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include "gui/window_texts.h"
#include "gui/about_window.h"
#include "gui/main_commands.h"
#include "gui/preferences/preferences_window.h"
#include "gui/search_window.h"
#include "gui/themes.h"
#include "gui/update_answers.h"
#include "update/update_address.h"
#include "update/update_check.h"
#include "update/update_schedule.h"
#include "gui/output_format_selector.h"
#include "gui/message_boxes.h"
#include "gui/window_geometry.h"
#include "gui/window_numbers.h"
#include "i18n/language_table.h"
#include "platform/product.h"
#include "platform/session_end.h"
#include "settings/formats.h"
#include "settings/settings.h"

namespace ravelin {

namespace {

QString Name(int control) { return QString::fromStdString(ControlName(kMainWindow, control)); }

// The accessible name a screen reader gives a control: its label's text without the colon.
QString AccessibleFromLabel(const QString& label) {
  QString name = label;
  if (name.endsWith(':')) name.chop(1);
  return name;
}

QIcon IconOf(const ImageSet& set, const char* key) {
  const auto found = set.find(key);
  if (found == set.end() || found->second.isNull()) return QIcon();
  return QIcon(QPixmap::fromImage(found->second));
}

// Field button i (0 to 2): the command it raises and the field it stands beside.
constexpr int kFieldButtonCommands[3] = {kCommandSelectInputFile, kCommandSelectOutputFolder,
                                         kCommandOutputFormatOptions};
constexpr int kFieldButtonY[3] = {19, 59, 99};

// The positions of the control table at creation.
struct Place {
  int control;
  int x, y, width, height;
};
constexpr Place kPlaces[] = {
    {kInputLabel, 10, 5, 350, 20},        {kInputField, 10, 20, 350, 20},
    {kOutputFolderLabel, 10, 45, 350, 20}, {kOutputFolderList, 10, 60, 350, 21},
    {kOutputFormatLabel, 10, 85, 350, 20}, {kOutputFormatList, 10, 100, 350, 21},
    {kConvertButton, 400, 20, 100, 100},
};

QRect PlaceOf(int control) {
  for (const Place& place : kPlaces) {
    if (place.control == control) return QRect(place.x, place.y, place.width, place.height);
  }
  return QRect();
}

}  // namespace

std::string FieldButtonName(int index) { return "w0field" + std::to_string(index); }

MainWindow::MainWindow(WindowContext& context) : context_(context) {
  setObjectName("w0");
  setWindowTitle(QString::fromStdString(context_.appTitle));
  const Settings& settings = context_.settings;
  // The height never changes; only the width can grow.
  setMinimumSize(kMainMinWidth, kMainHeight);
  setMaximumSize(QWIDGETSIZE_MAX, kMainHeight);
  resize(settings.Width, settings.Height);
  move(settings.X, settings.Y);
  setAcceptDrops(true);

  for (int i = 0; i < kCommandRowCount; ++i) {
    const CommandRow& row = kCommandRows[i];
    auto* action = new QAction(this);
    action->setObjectName(QString::fromStdString(CommandName(row.command)));
    const QString label = Text("Menu", row.labelKey);
    action->setText(*row.shortcut ? label + "\t" + row.shortcut : label);
    action->setToolTip(label);
    action->setIconText(label);
    if (*row.shortcut) {
      action->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
      action->setShortcutContext(Qt::WindowShortcut);
      addAction(action);  // the shortcut works from window 0 whether or not a menu shows it
    }
    const int command = row.command;
    connect(action, &QAction::triggered, this, [this, command] { Dispatch(command); });
    actions_[row.command] = action;
  }

  BuildMainMenu();
  BuildMainToolbar();

  status_ = new QLabel(this);
  status_->setObjectName(kStatusTextName);
  statusBar()->addWidget(status_, 1);
  statusBar()->setSizeGripEnabled(true);
  statusHeight_ = statusBar()->sizeHint().height();

  BuildControls();
}

MainWindow::~MainWindow() = default;

QAction* MainWindow::CommandAction(int command) {
  const auto found = actions_.find(command);
  return found == actions_.end() ? nullptr : found->second;
}

void MainWindow::UpdateActionPictures() {
  const ImageSets& sets = context_.pictures;
  for (int i = 0; i < kCommandRowCount; ++i) {
    const CommandRow& row = kCommandRows[i];
    QIcon icon = IconOf(sets.menu, row.pictureKey);
    const auto big = sets.toolbar.find(row.pictureKey);
    if (big != sets.toolbar.end() && !big->second.isNull()) {
      icon.addPixmap(QPixmap::fromImage(big->second));
    }
    actions_[row.command]->setIcon(icon);
  }
}

void MainWindow::BuildMainMenu() {
  QMenuBar* bar = menuBar();
  bar->clear();
  UpdateActionPictures();
  const std::pair<MenuTitle, const char*> titles[] = {
      {MenuTitle::File, "File"}, {MenuTitle::Converter, "Converter"}, {MenuTitle::Help, "Help"}};
  for (const auto& [title, key] : titles) {
    // Alt and the title's first letter open the menu, so every command is reachable by keyboard.
    QMenu* menu = bar->addMenu("&" + Text("Menu", key).replace("&", "&&"));
    for (int i = 0; i < kCommandRowCount; ++i) {
      const CommandRow& row = kCommandRows[i];
      if (row.menu != title) continue;
      if (row.separatorBefore) menu->addSeparator();
      menu->addAction(actions_[row.command]);
    }
  }
  menuHeight_ = bar->sizeHint().height();
}

void MainWindow::BuildMainToolbar() {
  if (toolbar_ != nullptr) {
    removeToolBar(toolbar_);
    delete toolbar_;
  }
  UpdateActionPictures();
  toolbar_ = new QToolBar(this);
  toolbar_->setObjectName(kMainToolbarName);
  toolbar_->setMovable(false);
  toolbar_->setFloatable(false);
  toolbar_->setContextMenuPolicy(Qt::PreventContextMenu);
  toolbar_->toggleViewAction()->setVisible(false);
  const int pixels = IconPixels(context_.settings.UISize);
  toolbar_->setIconSize(QSize(pixels, pixels));
  for (int i = 0; i < kToolbarOrderCount; ++i) {
    const int command = kToolbarOrder[i];
    if (command == kToolbarSeparator) {
      toolbar_->addSeparator();
      continue;
    }
    QAction* action = actions_[command];
    toolbar_->addAction(action);
    if (QWidget* button = toolbar_->widgetForAction(action)) {
      button->setAccessibleName(action->toolTip());
      button->setFocusPolicy(Qt::NoFocus);
    }
  }
  addToolBar(Qt::TopToolBarArea, toolbar_);
  toolbarHeight_ = toolbar_->sizeHint().height();
}

void MainWindow::BuildFieldButtons() {
  for (int i = 0; i < 3; ++i) {
    delete fieldButtons_[i];
    const CommandRow* row = FindCommandRow(kFieldButtonCommands[i]);
    auto* button = new QToolButton(container_);
    button->setObjectName(QString::fromStdString(FieldButtonName(i + 1)));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize(QSize(16, 16));
    button->setIcon(IconOf(context_.pictures.menu, row->pictureKey));
    // Without its picture the button still shows that it can be pressed.
    if (button->icon().isNull()) button->setText("...");
    const QString tip = Text("Menu", row->labelKey);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    const int command = row->command;
    connect(button, &QToolButton::clicked, this, [this, command] { Dispatch(command); });
    button->setGeometry(width() - 146, kFieldButtonY[i], 24, 24);
    button->show();
    fieldButtons_[i] = button;
  }
}

void MainWindow::BuildControls() {
  body_ = new QWidget(this);
  body_->setObjectName("w0body");
  setCentralWidget(body_);
  container_ = new QWidget(body_);
  container_->setObjectName(Name(kMainContainer));
  container_->setGeometry(0, 0, width(), height() - 130);

  const auto label = [this](int control, const char* key) {
    auto* widget = new QLabel(Text("General", key), container_);
    widget->setObjectName(Name(control));
    widget->setGeometry(PlaceOf(control));
    return widget;
  };
  QLabel* inputLabel = label(kInputLabel, "Input File");
  inputField_ = new QLineEdit(container_);
  inputField_->setObjectName(Name(kInputField));
  inputField_->setGeometry(PlaceOf(kInputField));
  // A file dropped on the field goes to the window's drop handler, not into the text.
  inputField_->setAcceptDrops(false);

  QLabel* folderLabel = label(kOutputFolderLabel, "Output Folder");
  folderList_ = new QComboBox(container_);
  folderList_->setObjectName(Name(kOutputFolderList));
  folderList_->setGeometry(PlaceOf(kOutputFolderList));
  connect(folderList_, qOverload<int>(&QComboBox::activated), this, [this] {
    context_.job.OutputFolder = folderList_->currentText().toStdString();
  });

  QLabel* formatLabel = label(kOutputFormatLabel, "Output Format");
  formatList_ = new QComboBox(container_);
  formatList_->setObjectName(Name(kOutputFormatList));
  formatList_->setGeometry(PlaceOf(kOutputFormatList));
  connect(formatList_, qOverload<int>(&QComboBox::activated), this, [this] {
    const auto& extensions = ActiveOutputExtensions();
    const int index = formatList_->currentData().toInt();
    if (index >= 0 && index < static_cast<int>(extensions.size())) {
      context_.settings.OutputFormat = extensions[index];
    }
  });

  convertButton_ = new QPushButton(container_);
  convertButton_->setObjectName(Name(kConvertButton));
  convertButton_->setGeometry(PlaceOf(kConvertButton));
  const QString convertText = AccessibleFromLabel(Text("Menu", "Convert"));
  convertButton_->setToolTip(convertText);
  convertButton_->setAccessibleName(convertText);
  connect(convertButton_, &QPushButton::clicked, this, [this] { Dispatch(kCommandConvert); });

  const std::pair<QLabel*, QWidget*> buddies[] = {
      {inputLabel, inputField_}, {folderLabel, folderList_}, {formatLabel, formatList_}};
  for (const auto& [text, control] : buddies) {
    text->setBuddy(control);
    control->setAccessibleName(AccessibleFromLabel(text->text()));
  }
  setTabOrder(inputField_, folderList_);
  setTabOrder(folderList_, formatList_);
  setTabOrder(formatList_, convertButton_);

  BuildFieldButtons();
  RefreshControlImages();

  notice_ = new QLabel(QString::fromStdString(MakerNotice()), body_);
  notice_->setObjectName(Name(kNoticeLabel));
  notice_->setGeometry(10, height() - 70 - toolbarHeight_, 350, 20);
}

void MainWindow::RefreshControlImages() {
  const ImageSets& sets = context_.pictures;
  const auto convert = sets.buttons.find("Convert");
  if (convert != sets.buttons.end() && !convert->second.isNull()) {
    convertButton_->setIcon(QIcon(QPixmap::fromImage(convert->second)));
    convertButton_->setIconSize(convert->second.size());
    convertButton_->setText(QString());
  } else {
    // Without its picture the button still says what it does.
    convertButton_->setIcon(QIcon());
    convertButton_->setText(AccessibleFromLabel(Text("Menu", "Convert")));
  }
  const QIcon folder = IconOf(sets.menu, "FavFolder");
  for (int i = 0; i < folderList_->count(); ++i) folderList_->setItemIcon(i, folder);
  const QIcon format = IconOf(sets.menu, "New");
  for (int i = 0; i < formatList_->count(); ++i) formatList_->setItemIcon(i, format);
}

void MainWindow::FillOutputFormatList() {
  FillOutputFormatSelector(*formatList_, context_.settings, context_.pictures, true);
}

void MainWindow::Prepare() {
  BuildFormatTables();
  if (context_.settings.IsMaximized) setWindowState(windowState() | Qt::WindowMaximized);
  if (context_.settings.RecentOutFolders.empty()) folderList_->addItem(QString());
  FillOutputFormatList();
  NewInputList();
  show();
  RequestLayout();
}

void MainWindow::Dispatch(int command) {
  const CommandRow* row = FindCommandRow(command);
  if (row != nullptr) (this->*(row->action))();
}

void MainWindow::Exit() { close(); }

void MainWindow::OpenManual() { ShellOpen(QString::fromLatin1(kProgramWord) + ".chm"); }

void MainWindow::SendFeedback() {
  // The subject is appended as plain text, its blanks unencoded.
  ShellOpen(QString("mailto:") + kSupportAddress + "?subject=" +
            QString::fromStdString(context_.appTitle) + " Feedback");
}

void MainWindow::VisitHomepage() {
  ShellOpen(QString(kWebSite) + "/" + kProgramWord + "/");
}

void MainWindow::OpenPreferencesWindow() {
  OpenPreferences(this, context_, [this] { ApplyInterfaceChanges(); });
}

void MainWindow::OpenOutputFormatOptions() {
  // The "Output" page.
  context_.preferencesStartPage = 3;
  OpenPreferencesWindow();
}

void MainWindow::OpenSearchWindow() { ShowSearchWindow(this, context_); }

void MainWindow::OpenAboutWindow() { ShowAboutWindow(this, context_); }

#if RAVELIN_UPDATE_CHECK
void MainWindow::CheckForNewVersion() {
  // The fetch runs apart from the main thread; its answer comes back here as a queued call,
  // which Qt drops when the window is gone (and the window's end cancels the fetch).
  updateFetch_.Start(UpdateDataAddress(), context_.appTitle, [this](const std::string& fetched) {
    QMetaObject::invokeMethod(
        this,
        [this, fetched] {
          DialogUpdatePrompts prompts(this);
          AnswerUpdateCheck(fetched, prompts);
        },
        Qt::QueuedConnection);
  });
}
#endif

void MainWindow::ShowScreenshotExample() {
  inputField_->setText("/images/example.bmp");
  const QString folder = "/converted/";
  folderList_->insertItem(0, IconOf(context_.pictures.menu, "FavFolder"), folder);
  folderList_->setCurrentIndex(0);
}

void MainWindow::ScheduledUpdateCheck() {
#if RAVELIN_UPDATE_CHECK
  // After the window is shown, so the question never delays its first appearance.
  QTimer::singleShot(0, this, [this] {
    // Not when the program is being ended meanwhile: nobody is there to answer.
    if (SessionEnding()) return;
    DialogUpdatePrompts prompts(this);
    if (AskScheduledUpdateCheck(context_.settings, prompts)) CheckForNewVersion();
  });
#endif
}

void MainWindow::RequestLayout() {
  QMetaObject::invokeMethod(this, &MainWindow::LayoutMainWindow, Qt::QueuedConnection);
}

void MainWindow::SetStatusText(const QString& text) { status_->setText(text); }

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  LayoutMainWindow();
}

void MainWindow::LayoutMainWindow() {
  if (container_ == nullptr) return;
  const int w = width();
  const int h = height();
  container_->setGeometry(0, 0, w, h - menuHeight_ - toolbarHeight_ - statusHeight_ - 40);
  for (QWidget* field : {static_cast<QWidget*>(inputField_), static_cast<QWidget*>(folderList_),
                         static_cast<QWidget*>(formatList_)}) {
    field->resize(w - 160, field->height());
  }
  for (int i = 0; i < 3; ++i) fieldButtons_[i]->setGeometry(w - 146, kFieldButtonY[i], 24, 24);
  convertButton_->move(w - 110, convertButton_->y());
  // The notice keeps its place under the menu whatever the toolbar's height.
  notice_->move(10, h - 70 - toolbarHeight_);
  update();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  // Of several files only the first counts; items that are not files are ignored.
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.front().isLocalFile()) return;
  event->setDropAction(Qt::CopyAction);
  event->accept();
  AddInputFileInWindow(urls.front().toLocalFile().toStdString());
}

void MainWindow::ReloadPictures(bool toolbarOnly) {
  LoadTheme(context_, !toolbarOnly, !toolbarOnly, true);
  // A picture the theme has not at the toolbar's size is shown scaled to it.
  const int pixels = IconPixels(context_.settings.UISize);
  for (auto& [key, picture] : context_.pictures.toolbar) {
    if (!picture.isNull() && picture.size() != QSize(pixels, pixels)) {
      picture = picture.scaled(pixels, pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
  }
}

void MainWindow::ApplyInterfaceChanges(int formatIndex) {
  if (context_.refreshMark == 2) {
    ReloadPictures(true);
    BuildMainToolbar();
    RequestLayout();
    context_.refreshMark = 0;
  } else if (context_.refreshMark == 1) {
    ReloadPictures(false);
    BuildMainMenu();
    BuildMainToolbar();
    BuildFieldButtons();
    RefreshControlImages();
    RequestLayout();
    context_.refreshMark = 0;
  }
  if (formatList_ != nullptr && formatIndex >= 0 && formatIndex < formatList_->count()) {
    formatList_->setCurrentIndex(formatIndex);
  }
  if (folderList_->count() != context_.settings.OutFoldersNumber) RefreshOutFolderList();
}

}  // namespace ravelin
