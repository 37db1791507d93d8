#include "ui/main/form1.h"

#include <QAbstractItemModel>
#include <QActionEvent>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <clocale>

#include "image/channel_editing.h"
#include "image/setting_lists.h"
#include "link/transfer_controller.h"
#include "ui/dialogs/dialog_support.h"
#include "ui/main/channel_grid.h"
#include "ui/main/channel_table_model.h"
#include "ui/main/editor_document.h"
#include "ui/main/keyboard_focus.h"
#include "ui/main/message_box.h"
#include "ui/main/screen_fit.h"
#include "ui/main/unsaved_changes.h"

namespace r7::ui {

namespace {

int Tw(int twips) { return TwipsToPixels(twips); }

QString ApplicationTitle() { return Utf8(kApplicationTitle); }

QAction* NewSeparator(QMenu* menu, const char* name) {
    auto* action = menu->addSeparator();
    action->setObjectName(QLatin1String(name));
    return action;
}

QMenu* NewMenu(QWidget* parent, const char* name, const QString& title) {
    auto* menu = new QMenu(title, parent);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

// Label caption, list number; top to bottom in "Optional Set".
struct SettingRow {
    const char* caption;
    ComboId combo;
};
constexpr SettingRow kSettingRows[] = {
    {"Language", LanguageCombo},        {"LauchTime", LaunchTimeCombo},      {"Scan", ScanCombo},
    {"Squelch Grade", SquelchCombo},    {"Battery Save", BatterySaveCombo},  {"Beep", BeepCombo},
    {"Radio Return", RadioReturnCombo}, {"Radio Switch ", RadioSwitchCombo},
};

}  // namespace

Form1::Form1(Form1Hooks hooks, WindowEnvironment environment, QWidget* parent)
    : QMainWindow(parent),
      hooks_(std::move(hooks)),
      environment_(std::move(environment)),
      relock_(environment_.serviceClock) {
    environment_.owner = this;
    // The core still formats a few numbers with printf; keep its decimal point '.'
    // whatever the desktop's locale (QApplication adopts the user's LC_NUMERIC).
    std::setlocale(LC_NUMERIC, "C");

    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Utf8(kWindowCaption));
    setContextMenuPolicy(Qt::NoContextMenu);  // no tool bar hide/show menu
    document_ = new EditorDocument(this);
    model_ = new ChannelTableModel(document_, this);

    buildMenus();
    buildToolbar();
    buildWidgets();
    buildLink();
    unsaved_ = new UnsavedChanges(*this);

    connect(document_, &EditorDocument::settingsChanged, this, &Form1::refreshSettings);
    connect(document_, &EditorDocument::stateReplaced, this, &Form1::refreshSettings);
    // After the editor has closed, so the box cannot re-enter the edit that caused it.
    connect(document_, &EditorDocument::frequencyRejected, this, &Form1::showRangeMessage,
            Qt::QueuedConnection);

    Form_Load();
    // Typing starts on channel 1's receive frequency, also after New, Open or a read.
    const auto startCell = [this] {
        if (!mfgrid1_->currentIndex().isValid())
            mfgrid1_->setCurrentIndex(model_->index(0, ColReceive));
    };
    connect(model_, &QAbstractItemModel::modelReset, this, startCell);
    startCell();
    mfgrid1_->setFocus();
    // The design's size, or more where this desktop's fonts need it.
    const QSize design(Tw(13095), Tw(6015) + menuBar()->sizeHint().height());
    resize(design.expandedTo(sizeHint()));
    KeepOnScreen(this);
}

Form1::~Form1() = default;

void Form1::buildMenus() {
    Form1Menus& m = menus_;
    QMenuBar* bar = menuBar();

    m.mnuFile = NewMenu(bar, "mnuFile", QStringLiteral("File(&F)"));
    m.mnuNew = NewAction(m.mnuFile, "mnuNew", QStringLiteral("New(&N)"));
    m.mnuOpen = NewAction(m.mnuFile, "mnuOpen", QStringLiteral("Open(&O)"));
    m.mnuAssave = NewAction(m.mnuFile, "mnuAssave", QStringLiteral("Save(&A)"));
    m.mnuline = NewSeparator(m.mnuFile, "mnuline");
    m.mnuQuit = NewAction(m.mnuFile, "mnuQuit", QStringLiteral("Exit(&Q)"));
    bar->addMenu(m.mnuFile);

    m.mnupro = NewMenu(bar, "mnupro", QStringLiteral("Programme(&P)"));
    m.mnureadFre = NewAction(m.mnupro, "mnureadFre", QStringLiteral("Read data from radio(R)"));
    m.mnureadFre->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    m.mnuwriteFre = NewAction(m.mnupro, "mnuwriteFre", QStringLiteral("Write data into Radio(W)"));
    m.mnuwriteFre->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    m.mnuline1 = NewSeparator(m.mnupro, "mnuline1");
    m.mnudtmf = NewAction(m.mnupro, "mnudtmf", QStringLiteral("Optional"));
    m.Key_enactment = NewAction(m.mnupro, "Key_enactment", QStringLiteral("Key Set"));
    m.Key_enactment->setVisible(false);
    m.mnusetin = NewAction(m.mnupro, "mnusetin", QStringLiteral("Inset Information"));
    m.mnudebug = NewAction(m.mnupro, "mnudebug", QStringLiteral("Debug(&D)"));
    m.mnutestfre = NewAction(m.mnupro, "mnutestfre", QStringLiteral("Test Frequcy"));
    bar->addMenu(m.mnupro);

    m.mnuset = NewMenu(bar, "mnuset", QStringLiteral("Seting(&S)"));
    m.mnulock = NewAction(m.mnuset, "mnulock", QStringLiteral("Lock(L)"));
    m.mnulock->setCheckable(true);
    m.mnucom = NewMenu(m.mnuset, "mnucom", QStringLiteral("Communication(&V)"));
    for (int port = 1; port <= 8; ++port) {
        auto* item = m.mnucom->addAction(QStringLiteral("COM%1(&%1)").arg(port));
        item->setObjectName(QStringLiteral("mnucom%1").arg(port));
        item->setCheckable(true);
        m.mnucomPorts[static_cast<std::size_t>(port - 1)] = item;
        connect(item, &QAction::triggered, this, [this, port] { mnucom_Click(port); });
    }
    m.mnuset->addMenu(m.mnucom);
    bar->addMenu(m.mnuset);

    m.mnuhelp = NewMenu(bar, "mnuhelp", QStringLiteral("Help(&H)"));
    m.mnumainhelp = NewAction(m.mnuhelp, "mnumainhelp", QStringLiteral("Help Theme"));
    m.mnumainhelp->setShortcut(QKeySequence(Qt::Key_F1));
    m.mnuabout = NewAction(m.mnuhelp, "mnuabout", QStringLiteral("About"));
    bar->addMenu(m.mnuhelp);
    m.mnuhelp->menuAction()->setVisible(false);

    // Not on the menu bar: the grid's context menu.
    m.mnuchannel = NewMenu(this, "mnuchannel", QString());
    m.mnudel_channel = NewAction(m.mnuchannel, "mnudel_channel", QString());

    connect(m.mnuNew, &QAction::triggered, this, &Form1::mnuNew_Click);
    connect(m.mnuOpen, &QAction::triggered, this, &Form1::mnuOpen_Click);
    connect(m.mnuAssave, &QAction::triggered, this, &Form1::mnuAssave_Click);
    connect(m.mnuQuit, &QAction::triggered, this, &Form1::mnuQuit_Click);
    connect(m.mnureadFre, &QAction::triggered, this, &Form1::mnureadFre_Click);
    connect(m.mnuwriteFre, &QAction::triggered, this, &Form1::mnuwriteFre_Click);
    connect(m.mnudtmf, &QAction::triggered, this, &Form1::mnudtmf_Click);
    connect(m.Key_enactment, &QAction::triggered, this, &Form1::Key_enactment_Click);
    connect(m.mnusetin, &QAction::triggered, this, &Form1::mnusetin_Click);
    connect(m.mnudebug, &QAction::triggered, this, &Form1::mnudebug_Click);
    connect(m.mnutestfre, &QAction::triggered, this, &Form1::mnutestfre_Click);
    // The item toggles its own check mark before it reports the click.
    connect(m.mnulock, &QAction::triggered, this, &Form1::applyLock);
    connect(m.mnumainhelp, &QAction::triggered, this, &Form1::mnumainhelp_Click);
    connect(m.mnuabout, &QAction::triggered, this, &Form1::mnuabout_Click);
    connect(m.mnudel_channel, &QAction::triggered, this, &Form1::mnudel_channel_Click);
}

namespace {

// A tool bar button that runs a menu item's own action, so the two are enabled and
// triggered as one. It keeps its own icon and tip: the menu item's caption differs.
class CommandButton : public QToolButton {
public:
    CommandButton(QAction* command, const QIcon& icon, const QString& tip, QToolBar* bar)
        : QToolButton(bar), icon_(icon), tip_(tip) {
        setAutoRaise(true);
        setIconSize(bar->iconSize());
        setFocusPolicy(Qt::NoFocus);
        setToolButtonStyle(Qt::ToolButtonIconOnly);
        setDefaultAction(command);
        keepOwnLook();
    }

protected:
    void actionEvent(QActionEvent* event) override {
        QToolButton::actionEvent(event);  // copies the action's text, icon and tip again
        keepOwnLook();
    }

private:
    void keepOwnLook() {
        setIcon(icon_);
        setText(tip_);
        setToolTip(tip_);
    }

    QIcon icon_;
    QString tip_;
};

}  // namespace

void Form1::buildToolbar() {
    Toolbar1_ = new QToolBar(this);
    Toolbar1_->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1_->setMovable(false);
    Toolbar1_->setFloatable(false);
    Toolbar1_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    Toolbar1_->setIconSize(QSize(16, 16));
    addToolBar(Qt::TopToolBarArea, Toolbar1_);

    struct Button {
        const char* key;
        const char* tip;
        QStyle::StandardPixmap icon;
        QAction* Form1Menus::*command;
    };
    const Button buttons[] = {
        {"new", "New", QStyle::SP_FileIcon, &Form1Menus::mnuNew},
        {"open", "Open", QStyle::SP_DialogOpenButton, &Form1Menus::mnuOpen},
        {"save", "Save", QStyle::SP_DialogSaveButton, &Form1Menus::mnuAssave},
        {"read", "Read frequcy", QStyle::SP_ArrowDown, &Form1Menus::mnureadFre},
        {"write", "Write frequcy", QStyle::SP_ArrowUp, &Form1Menus::mnuwriteFre},
    };
    std::size_t position = 0;
    for (const Button& b : buttons) {
        if (b.command == &Form1Menus::mnureadFre)
            Toolbar1_->addSeparator();  // the radio's commands apart
        QAction* command = menus_.*b.command;
        const QString tip = QString::fromLatin1(b.tip);
        QAction* entry = Toolbar1_->addWidget(
            new CommandButton(command, style()->standardIcon(b.icon), tip, Toolbar1_));
        entry->setObjectName(QLatin1String(b.key));
        entry->setText(tip);
        toolButtons_[position++] = command;
    }
    // The service re-lock button has no menu item: the tool bar holds its action.
    QAction* test =
        Toolbar1_->addAction(style()->standardIcon(QStyle::SP_BrowserReload), QString());
    test->setObjectName(QStringLiteral("Test"));
    test->setVisible(false);
    toolButtons_[position] = test;
    // The one button without a text: a screen reader still says what it does.
    if (QWidget* button = Toolbar1_->widgetForAction(test))
        button->setAccessibleName(QStringLiteral("Test: leave service mode"));
    // While a transfer runs the tool bar is disabled: nothing starts, whatever triggers it.
    connect(test, &QAction::triggered, this, [this] {
        if (!transferring_) TestButton_Click();
    });
}

void Form1::buildWidgets() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);

    mfgrid1_ = new ChannelGrid(central);
    mfgrid1_->setObjectName(QStringLiteral("mfgrid1"));
    mfgrid1_->setModel(model_);
    mfgrid1_->setAccessibleName(QStringLiteral("Channels"));
    AnnounceCellChanges(mfgrid1_);
    connect(mfgrid1_, &ChannelGrid::channelMenuRequested, this, &Form1::mfgrid1_MouseDown);

    buildModelFrame(central);
    buildSettingsFrame(central);
    QWidget* strip = buildStatusStrip(central);

    // Grid on the left growing with the window, the two frames on the right, the status
    // strip along the bottom (it keeps its height while everything in it is hidden).
    auto* right = new QVBoxLayout;
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(Tw(135));
    right->addWidget(Frame1_);
    right->addWidget(Frame2_);
    right->addStretch(1);

    auto* gridColumn = new QVBoxLayout;
    gridColumn->setContentsMargins(0, Tw(70), 0, 0);
    gridColumn->addWidget(mfgrid1_);

    auto* topRow = new QHBoxLayout;
    topRow->setContentsMargins(Tw(120), Tw(90), Tw(150), 0);
    topRow->setSpacing(Tw(60));
    topRow->addLayout(gridColumn, 1);
    topRow->addLayout(right);

    auto* root = new QVBoxLayout(central);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(Tw(20));
    root->addLayout(topRow, 1);
    root->addWidget(strip);

    chainTabOrder();
    GuardWheel(central);
}

void Form1::buildModelFrame(QWidget* central) {
    Frame1_ = new QGroupBox(QStringLiteral("Model"), central);
    Frame1_->setObjectName(QStringLiteral("Frame1"));
    Frame1_->setFixedSize(Tw(3540), Tw(945));
    Label3_ = new QLabel(QStringLiteral("Frequcy:"), Frame1_);
    Label3_->setObjectName(QStringLiteral("Label3"));
    Label3_->setGeometry(Tw(480), Tw(435), Tw(960), Tw(240));

    QComboBox* bandList = newCombo(BandCombo, Frame1_);
    bandList->setGeometry(Tw(1560), Tw(360), Tw(1635), Tw(360));
    // A list's accessible name is its current entry; its label is what names it.
    Label3_->setBuddy(bandList);
    for (const QString& entry : document_->bandEntries()) bandList->addItem(entry);
    // The limits come from the entries the list shows, however an entry got there.
    const auto followBandList = [this, bandList] {
        QStringList entries;
        for (int i = 0; i < bandList->count(); ++i) entries << bandList->itemText(i);
        document_->setBandEntries(entries);
    };
    QAbstractItemModel* bands = bandList->model();
    connect(bands, &QAbstractItemModel::rowsInserted, this, followBandList);
    connect(bands, &QAbstractItemModel::rowsRemoved, this, followBandList);
    connect(bands, &QAbstractItemModel::dataChanged, this, followBandList);
    connect(bandList, &QComboBox::currentIndexChanged, this, &Form1::Combo1_Click);
}

void Form1::buildSettingsFrame(QWidget* central) {
    Frame2_ = new QGroupBox(QStringLiteral("Optional Set"), central);
    Frame2_->setObjectName(QStringLiteral("Frame2"));
    Frame2_->setFixedSize(Tw(3540), Tw(4095));

    // Combo1 belongs to the Model frame; the settings are created in number order.
    for (int n = LanguageCombo; n <= kComboCount; ++n) newCombo(static_cast<ComboId>(n), Frame2_);
    // Lists filled at design; Combo3 and Combo5 are filled by start-up.
    for (ComboId n : {LanguageCombo, TimeoutAlarmCombo, BatterySaveCombo, BeepCombo, ScanCombo,
                      RadioReturnCombo, RadioSwitchCombo})
        fillCombo(n);
    // Connected once filled: filling selects the first entry, which is no user's choice.
    for (int n = LanguageCombo; n <= kComboCount; ++n) {
        connect(combo(n), &QComboBox::currentIndexChanged, this, [this, n](int position) {
            if (position >= 0) document_->setCombo(n, position);
        });
    }

    int top = 240;
    for (const SettingRow& row : kSettingRows) {
        auto* label = new QLabel(QString::fromLatin1(row.caption), Frame2_);
        label->setObjectName(QStringLiteral("LabelCombo%1").arg(row.combo));
        label->setGeometry(Tw(240), Tw(top + 60), Tw(1500), Tw(240));
        label->setBuddy(combo(row.combo));
        combo(row.combo)->setGeometry(Tw(1800), Tw(top), Tw(1455), Tw(345));
        top += 465;
    }
    Label1_ = new QLabel(
        Utf8("\xE5\x8F\x91\xE5\xB0\x84\xE8\xB6\x85\xE6\x97\xB6\xE9\xA2\x84\xE8\xAD\xA6"), Frame2_);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setGeometry(Tw(120), Tw(4080 + 60), Tw(1500), Tw(240));
    Label1_->setBuddy(combo(TimeoutAlarmCombo));
    combo(TimeoutAlarmCombo)->setGeometry(Tw(1800), Tw(4080), Tw(1455), Tw(345));
    Label1_->hide();
    combo(TimeoutAlarmCombo)->hide();
}

QComboBox* Form1::newCombo(ComboId n, QWidget* frame) {
    auto* box = new QComboBox(frame);
    box->setObjectName(QStringLiteral("Combo%1").arg(n));
    box->setEditable(false);
    combos_[static_cast<std::size_t>(n - 1)] = box;
    return box;
}

void Form1::fillCombo(ComboId n) {
    for (const std::string& entry : ComboEntries(n))
        combo(n)->addItem(QString::fromStdString(entry));
}

QWidget* Form1::buildStatusStrip(QWidget* central) {
    auto* strip = new QWidget(central);
    strip->setObjectName(QStringLiteral("statusStrip"));
    strip->setFixedHeight(Tw(300));

    // Shown and empty until a transfer blinks it, so the first caption appears at once.
    Label_ = new QLabel(strip);
    Label_->setObjectName(QStringLiteral("Label"));
    // The label blinks during a transfer; keeping its room stops the progress bar beside
    // it from changing width at every blink.
    QSizePolicy policy = Label_->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    Label_->setSizePolicy(policy);

    ProgressBar1_ = new QProgressBar(strip);
    ProgressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1_->setRange(0, 460);
    ProgressBar1_->setValue(0);
    ProgressBar1_->setTextVisible(false);
    ProgressBar1_->hide();

    Label2_ = new QLabel(QStringLiteral("Morvane Radio Communication Co."), strip);
    Label2_->setObjectName(QStringLiteral("Label2"));
    Label2_->setFixedWidth(Tw(2430));
    Label2_->setCursor(Qt::PointingHandCursor);
    Label2_->installEventFilter(this);
    Label2_->hide();

    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    stripLayout->addSpacing(Tw(120));
    stripLayout->addWidget(Label_);
    stripLayout->addWidget(ProgressBar1_, 1);
    stripLayout->addWidget(Label2_);
    return strip;
}

void Form1::chainTabOrder() {
    // Tab follows the screen: the grid, the band, then the settings top to bottom; arrows
    // move inside the grid.
    QWidget* previous = mfgrid1_;
    const auto chain = [&previous](QWidget* next) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    };
    chain(combo(BandCombo));
    for (const SettingRow& row : kSettingRows) chain(combo(row.combo));
    chain(combo(TimeoutAlarmCombo));
}

QAction* Form1::toolButton(const QString& key) const {
    static const QStringList kKeys = {QStringLiteral("new"),   QStringLiteral("open"),
                                      QStringLiteral("save"),  QStringLiteral("read"),
                                      QStringLiteral("write"), QStringLiteral("Test")};
    const qsizetype position = kKeys.indexOf(key);
    return position < 0 ? nullptr : toolButtons_[static_cast<std::size_t>(position)];
}

QComboBox* Form1::combo(int n) const {
    if (n < 1 || n > kComboCount) return nullptr;
    return combos_[static_cast<std::size_t>(n - 1)];
}

int Form1::BandIndex() const { return document_->combo(BandCombo); }

void Form1::addBandEntry(const QString& entry) {
    const QSignalBlocker block(combo(BandCombo));
    combo(BandCombo)->addItem(entry);  // the document follows the list
}

void Form1::refreshSettings() {
    for (int n = 1; n <= kComboCount; ++n) {
        const QSignalBlocker block(combo(n));
        combo(n)->setCurrentIndex(document_->combo(n));
    }
}

void Form1::Form_Load() {
    // Step by step as the design has it; nothing here may stop the window from opening.
    menus_.mnuabout->setText(QStringLiteral("About    ") + ApplicationTitle() +
                             QStringLiteral("..."));
    mfgrid1_->applyDesignSizes();  // alignment and pick lists come with the model and delegate
    if (hooks_.restoreSettings) hooks_.restoreSettings(*this);
    {
        const QSignalBlocker block3(combo(LaunchTimeCombo));
        const QSignalBlocker block5(combo(SquelchCombo));
        fillCombo(LaunchTimeCombo);
        fillCombo(SquelchCombo);
    }
    combo(BandCombo)->setCurrentIndex(0);
    ResetEditor();
    refreshSettings();
}

void Form1::ResetEditor() {
    document_->resetEditor();
    ProgressBar1_->hide();
}

void Form1::Form_Unload() {
    if (hooks_.storeSettings) hooks_.storeSettings(*this);
}

void Form1::closeWithoutAsking() {
    askBeforeClosing_ = false;
    close();
}

void Form1::closeEvent(QCloseEvent* event) {
    if (askBeforeClosing_ && !unsaved_->settle()) {
        event->ignore();
        return;
    }
    // A radio left in clone mode waits for End; it goes out before the program ends.
    transfer_->abort();
    Form_Unload();
    event->accept();
}

void Form1::Combo1_Click(int position) {
    if (position < 0 || position == BandIndex()) return;
    const int answer = environment_.showMessage(
        QStringLiteral(
            "Select the data that different types or different frequency bands will delete the "
            "all -channel for use, continue? "),
        YesNo | IconQuestion);
    if (answer != kResultYes) {
        // Choosing the old entry again runs this handler once more, which finds no change.
        combo(BandCombo)->setCurrentIndex(BandIndex());
        return;
    }
    document_->clearChannels();
    ResetEditor();
    document_->setCombo(BandCombo, position);
}

void Form1::showRangeMessage() { environment_.showMessage(Utf8(kRangeMessage), IconStop); }

void Form1::mfgrid1_MouseDown(int row, const QPoint& globalPos) {
    if (row < 1 || row > 99) return;
    deleteRow_ = row;
    menus_.mnudel_channel->setText(QString::fromStdString(DeleteMenuCaption(row)));
    environment_.contextMenuPresenter(menus_.mnuchannel, globalPos);
}

void Form1::mnudel_channel_Click() {
    if (deleteRow_ >= 1 && deleteRow_ <= kChannelCount) document_->deleteChannel(deleteRow_);
}

void Form1::mnuQuit_Click() {
    // close() runs Form_Unload; the program ends with its window.
    if (close()) QCoreApplication::quit();
}

}  // namespace r7::ui
