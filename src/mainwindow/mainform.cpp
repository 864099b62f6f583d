// Construction, layout, and what happens when the main window is created,
// activated and closed.
#include "mainform.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

#include "cellview3d.h"
#include "pathshortener.h"
#include "progressdialog.h"
#include "qtmessages.h"
#include "speedbox.h"
#include "toolbaricons.h"

namespace orlex {

namespace {
constexpr int kPathWidth = 500;
constexpr int kDeckBoxWidth = 138;
constexpr int kButtonSize = 21;
constexpr int kDefaultAnimationSpeed = 5;
}  // namespace

TMainForm::TMainForm(IMessages* messages, QWidget* parent)
    : QMainWindow(parent), Settings_(AppTitle) {
    setObjectName("MainForm");
    if (messages == nullptr) {
        OwnMessages_ = std::make_unique<TQtMessages>(this);
        messages = OwnMessages_.get();
    }
    Messages_ = messages;
    ChooseLogFile = [this](const QString& dir, const QString& name) {
        return DefaultChooseLogFile(dir, name);
    };

    // The application title only: a display name would be appended by the platform
    // to every caption that does not already end in it ("..., path — ORLEX Viewer").
    QCoreApplication::setApplicationName(AppTitle);

    AnimationTimer = new QTimer(this);
    AnimationTimer->setObjectName("AnimationTimer");
    AnimationTimer->setTimerType(Qt::PreciseTimer);
    AnimationTimer->setInterval(1);
    connect(AnimationTimer, &QTimer::timeout, this, &TMainForm::AnimationTimerTimer);
    Session_.SetStopAnimation([this] { AnimationTimer->stop(); });
    Session_.SetReleaseView([this] {
        StopTimeNavigation();
        ClearAnalysis();
        if (CellView3D != nullptr) CellView3D->ReleaseProject();
    });

    CreateActions();
    CreateMenus();
    CreateToolBars();
    CreateStatusBar();
    CreatePersonDock();
    CreateAnalysis();
    CreateImport();
    CreateLayoutCommands();

    setMinimumSize(350, 250);
    setAcceptDrops(true);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        resize(area.width() * 3 / 4, area.height() * 3 / 4);
        move(area.center() - QPoint(width() / 2, height() / 2));
    }

    Playback.SetHost(this);
    Playback.SetMessages(Messages_);

    ScreenShotPath.clear();
    ScreenShotSeries = false;
    SpeedButton_ScreenShotSeries->setChecked(false);
    StartFile.clear();

    FormCreate();
    CreateStackCommands();
    CreateMeasureCommands();
    CreateAuxiliaryWindows();
    RestoreWindowState();
}

TMainForm::~TMainForm() {
    // Released while the timer and the view still exist: the view must not keep
    // pointers into a project that dies with the window.
    ReleaseProject();
}

void TMainForm::CreateActions() {
    auto make = [this](QAction*& action, const char* name, const QString& text,
                       const QKeySequence& shortcut, void (TMainForm::*handler)()) {
        action = new QAction(text, this);
        action->setObjectName(name);
        if (!shortcut.isEmpty()) action->setShortcut(shortcut);
        if (handler != nullptr) connect(action, &QAction::triggered, this, handler);
    };
    make(LoadLogfile1, "LoadLogfile1", "&Load logfile", QKeySequence(Qt::CTRL | Qt::Key_L),
         &TMainForm::BitBtn1Click);
    LoadLogfile1->setToolTip("load file [Ctrl+L]");
    LoadLogfile1->setIcon(ToolBarIcon(TToolIcon::LoadFile));
    make(Singlescreenshot1, "Singlescreenshot1", "&Single screen shot", QKeySequence(Qt::Key_Y),
         &TMainForm::Singlescreenshot1Click);
    Singlescreenshot1->setToolTip("single screen shot [Y]");
    Singlescreenshot1->setIcon(ToolBarIcon(TToolIcon::ScreenShotSingle));
    make(Screenshotseries1, "Screenshotseries1", "S&creen shot series", QKeySequence(Qt::Key_X),
         &TMainForm::Screenshotseries1Click);
    make(ExportVideo1, "ExportVideo1", "&Export video...", QKeySequence(Qt::CTRL | Qt::Key_E),
         &TMainForm::ExportVideo1Click);
    for (int k = 0; k < 4; ++k) {
        auto* item = new QAction(QString("&%1 ...").arg(k + 1), this);
        item->setObjectName(QString("OldFile%1").arg(k + 1));
        item->setVisible(false);
        connect(item, &QAction::triggered, this, [this, item] { OpenRecent(item); });
        OldFileItems[k] = item;
    }
    make(Quit1, "Quit1", "Quit", QKeySequence(Qt::ALT | Qt::Key_F4), &TMainForm::Quit1Click);

    make(Deckup1, "Deckup1", "Deck up", QKeySequence(Qt::Key_W), &TMainForm::Deckup1Click);
    make(Deckdown1, "Deckdown1", "Deck down", QKeySequence(Qt::Key_S), &TMainForm::Deckdown1Click);
    make(Zoomin1, "Zoomin1", "Zoom in", QKeySequence(Qt::Key_Q), &TMainForm::Button1Click);
    make(Zoomout1, "Zoomout1", "Zoom out", QKeySequence(Qt::Key_A), &TMainForm::Button2Click);

    make(Run1, "Run1", "&Run/Pause", QKeySequence(Qt::Key_2), &TMainForm::Run1Click);
    make(ResettoStart1, "ResettoStart1", "Reset to &start", QKeySequence(Qt::Key_1),
         &TMainForm::ResettoStart1Click);
    ResettoStart1->setToolTip("reset to start [1]");
    ResettoStart1->setIcon(ToolBarIcon(TToolIcon::ResetToStart));
    make(Forward1, "Forward1", "Step &forward", QKeySequence(Qt::Key_4), &TMainForm::Forward1Click);
    Forward1->setToolTip("step forward [4]");
    Forward1->setIcon(ToolBarIcon(TToolIcon::StepForward));
    make(Backward1, "Backward1", "Step &backward", QKeySequence(Qt::Key_3),
         &TMainForm::Backward1Click);
    Backward1->setToolTip("step back [3]");
    Backward1->setIcon(ToolBarIcon(TToolIcon::StepBack));

    make(ShowOrigin, "ShowOrigin", "S&how origin", QKeySequence(), &TMainForm::ShowOriginClick);
    ShowOrigin->setCheckable(true);
    ShowOrigin->setChecked(true);
    // The check mark follows the view, not the click: see ShowOriginClick.
    make(AddLight, "AddLight", "&Add light", QKeySequence(Qt::Key_L), &TMainForm::AddLightClick);
    make(RemoveLight, "RemoveLight", "&Remove light", QKeySequence(Qt::SHIFT | Qt::Key_L),
         &TMainForm::RemoveLightClick);
    make(Options1, "Options1", "&Options...", QKeySequence(), &TMainForm::Options1Click);
    make(Statistics, "Statistics", "&Statistics...", QKeySequence(), &TMainForm::BitBtn2Click);
    Statistics->setToolTip("statistics");
    Statistics->setIcon(ToolBarIcon(TToolIcon::Statistics));

    make(Help2, "Help2", "Help...", QKeySequence(Qt::Key_F1), &TMainForm::Help2Click);
    make(StartupWindow1, "StartupWindow1", "Startup window...", QKeySequence(),
         &TMainForm::StartupWindow1Click);

    // Single-key shortcuts act wherever the focus is in the window, the view included.
    // The tool-bar glyphs are not repeated in the menus.
    for (QAction* action : findChildren<QAction*>()) {
        action->setShortcutContext(Qt::WindowShortcut);
        action->setIconVisibleInMenu(false);
    }
}

void TMainForm::CreateMenus() {
    auto separator = [](QMenu* menu, QAction*& slot, const char* name) {
        slot = menu->addSeparator();
        slot->setObjectName(name);
    };
    File1 = menuBar()->addMenu("&File");
    File1->setObjectName("File1");
    File1->addAction(LoadLogfile1);
    separator(File1, N6, "N6");
    File1->addAction(Singlescreenshot1);
    File1->addAction(Screenshotseries1);
    separator(File1, N8, "N8");
    File1->addAction(ExportVideo1);
    separator(File1, N4, "N4");
    for (QAction* item : OldFileItems) File1->addAction(item);
    separator(File1, N1, "N1");
    N1->setVisible(false);
    File1->addAction(Quit1);

    Views1 = menuBar()->addMenu("&Views");
    Views1->setObjectName("Views1");
    Views1->addAction(Deckup1);
    Views1->addAction(Deckdown1);
    separator(Views1, N3, "N3");
    Views1->addAction(Zoomin1);
    Views1->addAction(Zoomout1);

    Animation1 = menuBar()->addMenu("&Animation");
    Animation1->setObjectName("Animation1");
    Animation1->addAction(Run1);
    Animation1->addAction(ResettoStart1);
    separator(Animation1, N5, "N5");
    Animation1->addAction(Forward1);
    Animation1->addAction(Backward1);

    Settings1 = menuBar()->addMenu("&Settings");
    Settings1->setObjectName("Settings1");
    Settings1->addAction(ShowOrigin);
    Settings1->addAction(AddLight);
    Settings1->addAction(RemoveLight);
    separator(Settings1, N2, "N2");
    Settings1->addAction(Options1);
    Settings1->addAction(Statistics);

    Help1 = menuBar()->addMenu("Help");
    Help1->setObjectName("Help1");
    Help1->addAction(Help2);
    separator(Help1, N7, "N7");
    Help1->addAction(StartupWindow1);
}

void TMainForm::CreateToolBars() {
    Panel1 = new QToolBar("Tools", this);
    Panel1->setObjectName("Panel1");
    Panel1->setMovable(false);
    Panel1->setFloatable(false);
    Panel1->setIconSize(QSize(16, 16));
    Panel1->toggleViewAction()->setVisible(false);
    addToolBar(Qt::BottomToolBarArea, Panel1);

    auto button = [this](QToolButton*& slot, const char* name, QAction* action) {
        slot = new QToolButton(Panel1);
        slot->setObjectName(name);
        slot->setDefaultAction(action);
        slot->setAutoRaise(true);
        slot->setFixedSize(kButtonSize, kButtonSize);
        Panel1->addWidget(slot);
    };
    auto gap = [this] {
        auto* spacer = new QWidget(Panel1);
        spacer->setFixedWidth(5);
        Panel1->addWidget(spacer);
    };

    button(BitBtn1, "BitBtn1", LoadLogfile1);
    button(BitBtn2, "BitBtn2", Statistics);
    gap();

    ComboBox1 = new QComboBox(Panel1);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setFixedWidth(kDeckBoxWidth);
    ComboBox1->setToolTip("choose deck [up: w, down: s]");
    ComboBox1->addItem("---");
    ComboBox1->setCurrentIndex(0);
    connect(ComboBox1, &QComboBox::activated, this, [this](int) { ComboBox1Select(); });
    Panel1->addWidget(ComboBox1);
    gap();

    button(BitBtn_ResetToStart, "BitBtn_ResetToStart", ResettoStart1);

    // The play button is a toggle of its own: its down state shows the running
    // animation, while the menu's "&Run/Pause" carries no check mark.
    auto* playLoop = new QAction(ToolBarIcon(TToolIcon::PlayLoop), "play loop", this);
    playLoop->setObjectName("PlayLoopAction");
    playLoop->setCheckable(true);
    playLoop->setToolTip("play loop [2]");
    connect(playLoop, &QAction::triggered, this, &TMainForm::Run1Click);
    button(SpeedButton_PlayLoop, "SpeedButton_PlayLoop", playLoop);

    button(BitBtn_StepBack, "BitBtn_StepBack", Backward1);
    button(BitBtn_StepFore, "BitBtn_StepFore", Forward1);
    gap();
    button(BitBtn_ScreenShotSingle, "BitBtn_ScreenShotSingle", Singlescreenshot1);

    auto* series =
        new QAction(ToolBarIcon(TToolIcon::ScreenShotSeries), "screen shot series", this);
    series->setObjectName("ScreenShotSeriesAction");
    series->setCheckable(true);
    series->setToolTip("screen shot series [X]");
    connect(series, &QAction::triggered, this, &TMainForm::SpeedButton_ScreenShotSeriesClick);
    button(SpeedButton_ScreenShotSeries, "SpeedButton_ScreenShotSeries", series);
    CreateTimeNavigation();
}

void TMainForm::CreateStatusBar() {
    static constexpr int kWidths[4] = {50, 100, 100, 50};
    static const char* const kTexts[4] = {"Lights:", "Time: 0:00 min", "Saved: 0", ""};
    statusBar()->setObjectName("StatusBar");
    statusBar()->setSizeGripEnabled(true);
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(kTexts[i], statusBar());
        panel->setObjectName(QString("StatusPanel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setMinimumWidth(kWidths[i]);
        // The last panel takes the rest of the bar.
        statusBar()->addWidget(panel, i == 3 ? 1 : 0);
        StatusPanels[i] = panel;
    }
}

QString TMainForm::StatusText(int index) const {
    if (index < 0 || index >= static_cast<int>(StatusPanels.size())) return {};
    return StatusPanels[index]->text();
}

void TMainForm::SetStatusText(int index, const QString& text) {
    if (index < 0 || index >= static_cast<int>(StatusPanels.size())) return;
    StatusPanels[index]->setText(text);
}

QString TMainForm::ShortPath(const QString& path) const {
    return ShortenPath(path, kPathWidth, QFontMetrics(statusBar()->font()));
}

void TMainForm::FormCreate() {
    setWindowTitle(AppTitle);
    StopAnimation();

    CellView3D = new TCellView3D(this);
    CellView3D->setObjectName("CellView3D");
    CellView3D->setFocusPolicy(Qt::StrongFocus);
    CellView3D->SetMessages(Messages_);
    CellView3D->installEventFilter(this);
    setCentralWidget(CellView3D);
    CellView3D->SetPlayback(&Playback);
    connect(CellView3D, &TCellView3D::PersonPicked, this, &TMainForm::PickPerson);

    ReadSettings();
    SpeedBox->SetSpeed(MaxAnimationSpeed);
    LoadScreenShotSettings();
}

void TMainForm::ReadSettings() {
    MaxAnimationSpeed = Settings_.MaxAnimationSpeed();
    // A speed of 0 or below would make the timer interval meaningless.
    if (MaxAnimationSpeed <= 0) MaxAnimationSpeed = kDefaultAnimationSpeed;

    LastProjects.fill(QString());
    const QStringList stored = Settings_.LastProjects();
    int used = 0;
    for (const QString& path : stored) {
        if (path.isEmpty() || used >= static_cast<int>(LastProjects.size())) continue;
        LastProjects[used++] = path;
    }
    ShowLastProjects();
}

void TMainForm::FormActivate() {
    if (StartFile.isEmpty()) return;
    const QString path = StartFile;
    StartFile.clear();
    SetStatusText(3, "Loading " + ShortPath(path));
    QCoreApplication::processEvents();
    if (import::NeedsImport(path.toStdString(), {}))
        ImportTrajectories(path);
    else
        LoadLogFile(path);
}

void TMainForm::FormClose() {
    if (Closed_) return;
    Closed_ = true;
    StopAnimation();
    SetStatusText(3, QString());
    ReleaseProject();
    Settings_.SetMaxAnimationSpeed(MaxAnimationSpeed);
    SaveScreenShotSettings();
    SaveWindowState();
}

void TMainForm::Quit1Click() {
    close();
}

void TMainForm::ReleaseProject() {
    Session_.Release();
}

bool TMainForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !StartFile.isEmpty()) {
        // Loaded once the activation has been handled, so the window is painted first.
        QMetaObject::invokeMethod(this, &TMainForm::FormActivate, Qt::QueuedConnection);
    }
    return QMainWindow::event(event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (Loading_ || Exporting_) {
        // The loader or the export still works on the project: close once it has
        // finished (an export is cancelled).
        CloseAfterLoad_ = true;
        ExportCancelled_ = Exporting_;
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    // The wheel over the view zooms here; the view itself does nothing with it.
    if (watched == CellView3D && event->type() == QEvent::Wheel) {
        FormMouseWheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::wheelEvent(QWheelEvent* event) {
    FormMouseWheel(event->angleDelta().y());
    // Not marked as handled.
    event->ignore();
}

}  // namespace orlex
