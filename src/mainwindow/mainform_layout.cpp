// The window's layout commands: "Reset view", the analysis dock's first size, the
// places of the docks and tool bars kept in the settings, and Help > "Keys and
// mouse...", which lists every menu item with its key, the window's other keys
// and the mouse actions.
#include <QAction>
#include <QDockWidget>
#include <QMenuBar>

#include "analysisdock.h"
#include "cellview3d.h"
#include "keysform.h"
#include "mainform.h"
#include "projectscene.h"

namespace orlex {

namespace {

// The analysis dock's share of the window's width when it first opens.
constexpr double kAnalysisDockShare = 0.36;

QString MenuTitle(QString text) {
    return text.remove(QLatin1Char('&'));
}

// The items of menu and its submenus, with their shortcuts ("–" for none); the
// recent files and separators are left out.
void CollectItems(const QMenu* menu, const QString& path, QList<TKeyRow>& rows,
                  QSet<const QAction*>& seen) {
    for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr) {
            CollectItems(action->menu(), path + MenuTitle(action->text()) + QStringLiteral(" > "),
                         rows, seen);
            continue;
        }
        if (action->isSeparator() || seen.contains(action)) continue;
        if (action->objectName().startsWith(QStringLiteral("OldFile"))) continue;
        seen.insert(action);
        const QString key = action->shortcut().toString(QKeySequence::NativeText);
        rows.append(
            {key.isEmpty() ? QStringLiteral("\u2013") : key, path + MenuTitle(action->text())});
    }
}

}  // namespace

void TMainForm::CreateLayoutCommands() {
    ResetView1 = AddWindowAction("ResetView1", "Reset &view", QKeySequence(Qt::Key_R));
    connect(ResetView1, &QAction::triggered, this, &TMainForm::ResetView1Click);
    AppendMenuItems(Views1, {ResetView1});

    KeysAndMouse1 = new QAction("&Keys and mouse...", this);
    KeysAndMouse1->setObjectName("KeysAndMouse1");
    connect(KeysAndMouse1, &QAction::triggered, this, &TMainForm::KeysAndMouse1Click);
    Help1->addAction(KeysAndMouse1);

    // The analysis dock opens beside the view at a width where its charts read well;
    // later the saved window state or the user decides.
    connect(Dock_Analysis, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (!visible || AnalysisDockSized_) return;
        AnalysisDockSized_ = true;
        if (Dock_Analysis->isFloating()) return;
        const int wanted =
            std::max(kChartMinimumWidth + 60, static_cast<int>(width() * kAnalysisDockShare));
        resizeDocks({Dock_Analysis}, {wanted}, Qt::Horizontal);
    });
}

void TMainForm::ResetView1Click() {
    if (!HasProject()) return;
    const int w = std::max(CellView3D->width(), 1);
    const int h = std::max(CellView3D->height(), 1);
    const TSceneInput scene = CellView3D->SceneInput();
    // The whole stack is seen from aslant, a single deck from straight above.
    CellView3D->Camera() =
        scene.StackAll
            ? FitScene(scene, 0.0, scene.Plan ? 0.0 : kStackTheta, static_cast<double>(w) / h)
            : FitCamera(LogFile->XMax, LogFile->YMax, 0.0, 0.0, static_cast<double>(w) / h);
    // Sets the projection for the new distance and repaints.
    CellView3D->SetDistance(CellView3D->Distance);
}

void TMainForm::RestoreWindowState() {
    const QByteArray state = Settings_.WindowState();
    if (state.isEmpty()) return;
    AnalysisDockSized_ = restoreState(state);
}

void TMainForm::SaveWindowState() {
    Settings_.SetWindowState(saveState());
}

QList<TKeyGroup> TMainForm::KeyGroups() const {
    QList<TKeyGroup> groups;
    QSet<const QAction*> seen;
    for (QAction* top : menuBar()->actions()) {
        if (top->menu() == nullptr) continue;
        TKeyGroup group{MenuTitle(top->text()), {}};
        CollectItems(top->menu(), QString(), group.Rows, seen);
        groups.append(group);
    }
    // Shortcuts of the window that no menu shows: the timeline's and the pick's.
    TKeyGroup window{QStringLiteral("Time line and persons"), {}};
    for (QAction* action : actions()) {
        if (action->shortcut().isEmpty() || seen.contains(action)) continue;
        seen.insert(action);
        window.Rows.append(
            {action->shortcut().toString(QKeySequence::NativeText), MenuTitle(action->text())});
    }
    groups.append(window);
    groups.append(
        {QStringLiteral("Mouse in the 3D view"),
         {{QStringLiteral("Left drag"), QStringLiteral("Rotate the view")},
          {QStringLiteral("Right drag"), QStringLiteral("Pan the view")},
          {QStringLiteral("Wheel"), QStringLiteral("Zoom in and out")},
          {QStringLiteral("Left click on a person"),
           QStringLiteral("Pick the person: Person panel, trail, follow; with all decks, "
                          "on any deck drawn (its deck becomes the deck shown)")},
          {QStringLiteral("Left click beside the persons"), QStringLiteral("Clear the pick")},
          {QStringLiteral("Left / right drag, Views > Measure on"),
           QStringLiteral("Draw a measurement line / area on the deck shown; Esc ends the "
                          "mode")}}});
    groups.append(
        {QStringLiteral("Mouse elsewhere"),
         {{QStringLiteral("Drag the time line"),
           QStringLiteral("Go to any time; the view follows")},
          {QStringLiteral("Click in a chart"), QStringLiteral("Go to that time (Analysis panel)")},
          {QStringLiteral("Speed box"),
           QStringLiteral("Simulated seconds per second; Keep speed holds real time")},
          {QStringLiteral("Drop a .3dl file on the window"), QStringLiteral("Load it")}}});
    return groups;
}

void TMainForm::KeysAndMouse1Click() {
    if (KeysForm_ == nullptr) KeysForm_ = new TKeysForm(this);
    KeysForm_->SetGroups(KeyGroups());
    KeysForm_->exec();
}

}  // namespace orlex
