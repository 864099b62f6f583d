// The trajectories of other tools: File > "Import trajectories...", the import dialog,
// and the load procedure fed with an imported project. Nothing is written to disk.
#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

#include "importform.h"
#include "mainform.h"
#include "runset.h"

namespace orlex {

namespace {

const char* const kImportFilter =
    "Trajectories (*.txt *.csv *.gz *.sqlite *.sqlite3 *.db *.traj);;"
    "PeTrack / PedPy text (*.txt);;JuPedSim SQLite (*.sqlite *.sqlite3 *.db);;"
    "Pathfinder or crowd:it CSV (*.csv *.gz);;Vadere footsteps (*.traj);;All files (*)";

}  // namespace

void TMainForm::CreateImport() {
    ImportTrajectories1 = new QAction("&Import trajectories...", this);
    ImportTrajectories1->setObjectName("ImportTrajectories1");
    connect(ImportTrajectories1, &QAction::triggered, this, &TMainForm::ImportTrajectories1Click);
    // With the other added items, after the Load item's block.
    File1->insertAction(N4, ImportTrajectories1);
    ChooseImportFile = [this](const QString& folder) {
        return QFileDialog::getOpenFileName(this, "Import trajectories", folder, kImportFilter);
    };
    AskImportOptions =
        [this](const QString& path,
               const import::TFileFacts& facts) -> std::optional<import::TImportOptions> {
        TImportForm form(this, path, facts, Settings_.ImportValues());
        if (form.exec() != QDialog::Accepted) return std::nullopt;
        Settings_.SetImportValues(form.Values());
        return form.Options();
    };
}

void TMainForm::ImportTrajectories1Click() {
    if (Loading_) return;
    const QString folder = QFileInfo(Settings_.LogDir()).absolutePath();
    const QString path = ChooseImportFile ? ChooseImportFile(folder) : QString();
    if (path.isEmpty()) return;
    ImportTrajectories(QFileInfo(path).absoluteFilePath());
}

void TMainForm::ImportTrajectories(const QString& path) {
    if (Loading_ || Closed_) return;
    import::TFileFacts facts;
    try {
        facts = import::InspectFile(path.toStdString());
    } catch (const import::TImportError&) {
        ShowCannotOpen(path);
        return;
    }
    if (facts.Format == import::TFormat::Auto) {
        Messages_->ShowMessage(
            path.toStdString() +
                ": unknown format (none of PeTrack or PedPy text rows \"id frame x y\", a "
                "JuPedSim SQLite file, a Pathfinder occupant CSV, a Vadere postvis.traj, a "
                "crowd:it CSV)",
            "Error", TMsgIcon::Error, TMsgButtons::Ok);
        return;
    }
    const std::optional<import::TImportOptions> options =
        AskImportOptions ? AskImportOptions(path, facts) : import::TImportOptions{};
    if (!options) return;
    LoadLogFile(path, &*options);
}

TAnalysisSettings TMainForm::AnalysisSettingsInEffect() const {
    TAnalysisSettings settings = Settings_.AnalysisSettings();
    if (LogFile != nullptr)
        settings.CellSize = stats::CellSizeInEffect(std::nullopt, *LogFile, settings.CellSize);
    return settings;
}

}  // namespace orlex
