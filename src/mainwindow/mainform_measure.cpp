// Measurement lines and areas: Views > "Measure" (M, and its tool-bar button)
// lets a left drag on the deck shown draw a line and a right drag a rectangle;
// the "Measurements" panel names, moves and deletes them, Ctrl+Z takes the last
// change back. Every change is saved beside the project (FILE.measure.json) and
// the file is read again at every load.
#include <QAction>
#include <QDockWidget>
#include <QFileInfo>
#include <QToolBar>
#include <QToolButton>

#include "cellview3d.h"
#include "mainform.h"
#include "measurefile.h"
#include "measureoverlay.h"
#include "measurepanel.h"
#include "toolbaricons.h"

namespace orlex {

namespace {

// The changes Ctrl+Z can take back.
constexpr std::size_t kMeasureUndoDepth = 100;

// "Line 1", "Line 2", ...: the first number no measurement of names uses.
template <class T>
std::string FreeName(const std::vector<T>& items, const char* word) {
    for (int n = 1;; ++n) {
        const std::string name = std::string(word) + " " + std::to_string(n);
        bool used = false;
        for (const T& item : items) used = used || item.Name == name;
        if (!used) return name;
    }
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

}  // namespace

void TMainForm::CreateMeasureCommands() {
    Measure1 = AddWindowAction("Measure1", "&Measure", QKeySequence(Qt::Key_M));
    Measure1->setCheckable(true);
    Measure1->setIcon(ToolBarIcon(TToolIcon::Measure));
    Measure1->setIconVisibleInMenu(false);
    Measure1->setToolTip("measure: left drag draws a line, right drag an area [M, end: Esc]");
    connect(Measure1, &QAction::toggled, this, &TMainForm::Measure1Click);

    UndoMeasure1 = AddWindowAction("UndoMeasure1", "Undo measurement change",
                                   QKeySequence(Qt::CTRL | Qt::Key_Z));
    UndoMeasure1->setEnabled(false);
    connect(UndoMeasure1, &QAction::triggered, this, &TMainForm::UndoMeasures);

    Dock_Measure = new QDockWidget("Measurements", this);
    Dock_Measure->setObjectName("Dock_Measure");
    MeasurePanel = new TMeasurePanel(Dock_Measure);
    MeasurePanel->setObjectName("MeasurePanel");
    Dock_Measure->setWidget(MeasurePanel);
    addDockWidget(Qt::LeftDockWidgetArea, Dock_Measure);
    Dock_Measure->hide();
    QAction* panel = Dock_Measure->toggleViewAction();
    panel->setObjectName("MeasurementsPanel1");
    panel->setText("Measurements panel");
    AppendMenuItems(Views1, {Measure1, panel});

    connect(MeasurePanel, &TMeasurePanel::Changed, this,
            [this](const TMeasureSet& next) { ChangeMeasures(next); });
    connect(MeasurePanel, &TMeasurePanel::UndoRequested, this, &TMainForm::UndoMeasures);
    connect(CellView3D, &TCellView3D::MeasureDrawn, this, &TMainForm::MeasureDrawn);

    // The button stands after the screen-shot buttons.
    SpeedButton_Measure = new QToolButton(Panel1);
    SpeedButton_Measure->setObjectName("SpeedButton_Measure");
    SpeedButton_Measure->setDefaultAction(Measure1);
    SpeedButton_Measure->setAutoRaise(true);
    SpeedButton_Measure->setFixedSize(SpeedButton_ScreenShotSeries->size());
    const QList<QAction*> items = Panel1->actions();
    for (int i = 0; i < items.size(); ++i) {
        if (Panel1->widgetForAction(items[i]) != SpeedButton_ScreenShotSeries) continue;
        Panel1->insertWidget(i + 1 < items.size() ? items[i + 1] : nullptr, SpeedButton_Measure);
        break;
    }

    // Esc ends the Measure mode before it clears the pick.
    disconnect(ClearPick1, &QAction::triggered, this, &TMainForm::ClearPickClick);
    connect(ClearPick1, &QAction::triggered, this, [this] {
        if (Measure1->isChecked())
            Measure1->setChecked(false);
        else
            ClearPickClick();
    });
}

void TMainForm::Measure1Click(bool on) {
    CellView3D->SetMeasureMode(on);
    if (on) Dock_Measure->show();
}

TMetreFrame TMainForm::MeasureFrame() const {
    if (LogFile == nullptr) return {};
    return MetreFrameOf(*LogFile, AnalysisSettingsInEffect().CellSize);
}

QString TMainForm::MeasureFilePath() const {
    if (MeasureProject_.isEmpty()) return {};
    return QString::fromStdString(MeasureFilePathFor(MeasureProject_.toStdString()));
}

void TMainForm::LoadMeasures(const QString& projectPath) {
    Measures_ = TMeasureSet();
    MeasureUndo_.clear();
    MeasureProject_ = projectPath;
    const QString path = MeasureFilePath();
    if (HasProject() && !path.isEmpty() && QFileInfo::exists(path)) {
        std::vector<std::string> problems;
        TMeasureSet read;
        const std::string name = path.toStdString();
        if (ReadMeasureFile(name, read, problems))
            CheckMeasuresOnProject(read, MeasureFrame(), DeckCount(), name, problems);
        Measures_ = std::move(read);
        if (!problems.empty())
            Messages_->ShowMessage(JoinLines(problems), "Warning", TMsgIcon::Warning,
                                   TMsgButtons::Ok);
    }
    ShowMeasures();
}

void TMainForm::ShowMeasures() {
    if (MeasurePanel == nullptr) return;
    MeasurePanel->ShowSet(Measures_, DeckCaptions());
    MeasurePanel->SetUndoAvailable(!MeasureUndo_.empty());
    UndoMeasure1->setEnabled(!MeasureUndo_.empty());
    if (HasProject()) CellView3D->SetMeasures(&Measures_, MeasureFrame());
}

bool TMainForm::SaveMeasures() {
    const QString path = MeasureFilePath();
    if (path.isEmpty()) return false;
    std::string error;
    if (WriteMeasureFile(path.toStdString(), Measures_, error)) return true;
    Messages_->ShowMessage("Cannot write the measurements to\n" + path.toStdString() +
                               (error.empty() ? std::string() : ":\n" + error),
                           "Error", TMsgIcon::Error, TMsgButtons::Ok);
    return false;
}

bool TMainForm::ChangeMeasures(const TMeasureSet& next) {
    if (!HasProject() || next == Measures_) {
        ShowMeasures();
        return false;
    }
    // Checked as the file will be read at the next load: what it would leave out
    // is refused now, with the same words.
    std::vector<std::string> problems;
    const std::string name = MeasureFilePath().toStdString();
    TMeasureSet read;
    if (ParseMeasureText(MeasureFileText(next), name, read, problems))
        CheckMeasuresOnProject(read, MeasureFrame(), DeckCount(), name, problems);
    if (!problems.empty()) {
        Messages_->ShowMessage(JoinLines(problems), "Warning", TMsgIcon::Warning, TMsgButtons::Ok);
        ShowMeasures();
        return false;
    }
    MeasureUndo_.push_back(Measures_);
    if (MeasureUndo_.size() > kMeasureUndoDepth) MeasureUndo_.erase(MeasureUndo_.begin());
    Measures_ = next;
    SaveMeasures();
    ShowMeasures();
    StartAnalysis();  // the lines' and areas' figures follow
    return true;
}

void TMainForm::UndoMeasures() {
    if (MeasureUndo_.empty() || !HasProject()) return;
    Measures_ = MeasureUndo_.back();
    MeasureUndo_.pop_back();
    SaveMeasures();
    ShowMeasures();
    StartAnalysis();
}

void TMainForm::MeasureDrawn(bool area, int deck, TMetrePoint a, TMetrePoint b) {
    if (!HasProject()) return;
    TMeasureSet next = Measures_;
    int row = 0;
    if (area) {
        next.Areas.push_back({FreeName(next.Areas, "Area"), deck, RectanglePolygon(a, b)});
        row = MeasureRowCount(next) - 1;
    } else {
        next.Lines.push_back({FreeName(next.Lines, "Line"), deck, a, b});
        row = static_cast<int>(next.Lines.size()) - 1;
    }
    if (ChangeMeasures(next)) MeasurePanel->SelectRow(row);
}

}  // namespace orlex
