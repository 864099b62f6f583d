// The evacuation analysis in the window: run on a worker thread after every load,
// shown in the "Analysis" dock and as deck overlays, exported on request.
#include <QActionGroup>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>

#include "analysisdock.h"
#include "analysisexport.h"
#include "analysisoverlay.h"
#include "analysisrunner.h"
#include "cellview3d.h"
#include "mainform.h"
#include "runsexport.h"

namespace orlex {

void TMainForm::CreateAnalysis() {
    AnalysisRunner_ = new TAnalysisRunner(this);
    AnalysisRunner_->setObjectName("AnalysisRunner");
    // A new load or the close cancels the run and waits for it before the
    // project goes.
    Session_.AddReader([this] { AnalysisRunner_->CancelAndJoin(); });
    connect(AnalysisRunner_, &TAnalysisRunner::Progress, this, [this](int percent) {
        AnalysisPanel_->SetAnalysing(percent);
        // A quick analysis leaves the message panel alone; a longer one shows its
        // progress there, unless another message stands in it.
        if (AnalysisClock_.elapsed() < kQuietAnalysisMs) return;
        const QString shown = StatusPanels[3]->text();
        if (!AnalysisShown_) {
            if (!shown.trimmed().isEmpty()) return;
            AnalysisShown_ = true;
            AnalysisStatusBefore_ = shown;
        } else if (shown != ShownAnalysisText_) {
            return;  // another message took the panel
        }
        ShownAnalysisText_ = TAnalysisRunner::ProgressText(percent);
        SetStatusText(3, ShownAnalysisText_);
    });
    connect(AnalysisRunner_, &TAnalysisRunner::Finished, this,
            [this](std::shared_ptr<const TAnalysisResult> result) { AnalysisFinished(result); });

    Dock_Analysis = new QDockWidget("Analysis", this);
    Dock_Analysis->setObjectName("Dock_Analysis");
    AnalysisPanel_ = new TAnalysisPanel(Dock_Analysis);
    AnalysisPanel_->setObjectName("AnalysisPanel");
    Dock_Analysis->setWidget(AnalysisPanel_);
    addDockWidget(Qt::RightDockWidgetArea, Dock_Analysis);
    Dock_Analysis->hide();
    connect(AnalysisPanel_, &TAnalysisPanel::SeekRequested, this, &TMainForm::SeekTo);
    QAction* toggle = Dock_Analysis->toggleViewAction();
    toggle->setObjectName("AnalysisPanel1");
    toggle->setText("&Analysis panel");

    Overlay1 = new QMenu("&Overlay", this);
    Overlay1->setObjectName("Overlay1");
    Overlay1->menuAction()->setObjectName("OverlayMenu1");
    auto* group = new QActionGroup(this);
    const struct {
        const char* Name;
        const char* Text;
        TOverlayKind Kind;
    } kinds[] = {{"OverlayNone1", "&None", TOverlayKind::None},
                 {"OverlayPeak1", "&Peak density", TOverlayKind::PeakDensity},
                 {"OverlayLevels1", "&Levels of service", TOverlayKind::LevelsOfService},
                 {"OverlayAbove1", "&Time above limit", TOverlayKind::TimeAbove},
                 {"OverlayUsage1", "&Usage", TOverlayKind::Usage}};
    for (const auto& k : kinds) {
        QAction* item = Overlay1->addAction(k.Text);
        item->setObjectName(k.Name);
        item->setCheckable(true);
        item->setChecked(k.Kind == TOverlayKind::None);
        item->setData(static_cast<int>(k.Kind));
        group->addAction(item);
        connect(item, &QAction::triggered, this, &TMainForm::UpdateOverlay);
    }
    // The exits go with any of them, or alone.
    Overlay1->addSeparator();
    OverlayExits1 = Overlay1->addAction("&Exits");
    OverlayExits1->setObjectName("OverlayExits1");
    OverlayExits1->setCheckable(true);
    connect(OverlayExits1, &QAction::triggered, this, &TMainForm::UpdateOverlay);
    AppendMenuItems(Views1, {toggle, Overlay1->menuAction()});

    ExportAnalysis1 = new QAction("Export &analysis...", this);
    ExportAnalysis1->setObjectName("ExportAnalysis1");
    ExportAnalysis1->setEnabled(false);
    connect(ExportAnalysis1, &QAction::triggered, this, &TMainForm::ExportAnalysis1Click);
    File1->insertAction(N4, ExportAnalysis1);
    ExportRunsReport1 = new QAction("Export report over &runs...", this);
    ExportRunsReport1->setObjectName("ExportRunsReport1");
    connect(ExportRunsReport1, &QAction::triggered, this, &TMainForm::ExportRunsReport1Click);
    File1->insertAction(N4, ExportRunsReport1);
    ChooseRunFiles = [this](const QString& folder) {
        return QFileDialog::getOpenFileNames(this, "Runs of one case", folder,
                                             "3D log file (*.3dl)");
    };
    ChooseRunsReportFile = [this](const QString& suggested) {
        QString path = QFileDialog::getSaveFileName(this, "Export report over runs", suggested,
                                                    "PDF report (*.pdf)");
        if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += ".pdf";
        return path;
    };
    ChooseAnalysisFile = [this](const QString& suggested) {
        QString filter;
        QString path = QFileDialog::getSaveFileName(this, "Export analysis", suggested,
                                                    AnalysisExportFilter(), &filter);
        if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) {
            if (filter.contains("*.pdf"))
                path += ".pdf";
            else if (filter.contains("*.json"))
                path += ".json";
            else if (filter.contains("*.csv"))
                path += ".csv";
        }
        return path;
    };
}

QStringList TMainForm::DeckCaptions() const {
    QStringList captions;
    if (!HasProject()) return captions;
    for (int d = 0; d < LogFile->DeckCount(); ++d)
        captions << QString::fromStdString(LogFile->GetDeckCaption(d));
    return captions;
}

void TMainForm::EndAnalysisStatus() {
    if (AnalysisShown_ && StatusPanels[3] != nullptr &&
        StatusPanels[3]->text() == ShownAnalysisText_)
        SetStatusText(3, AnalysisStatusBefore_);
    AnalysisShown_ = false;
}

void TMainForm::StartAnalysis() {
    EndAnalysisStatus();
    AnalysisClock_.start();
    Analysis_.reset();
    ExportAnalysis1->setEnabled(false);
    if (!HasProject()) return;
    AnalysisPanel_->SetAnalysing(0);
    TAnalysisOptions options;
    options.Measures = &Measures_;  // the runner keeps a copy
    AnalysisRunner_->Start(*LogFile, AnalysisSettingsInEffect(), options);
}

void TMainForm::ClearAnalysis() {
    Analysis_.reset();
    if (ExportAnalysis1 != nullptr) ExportAnalysis1->setEnabled(false);
    if (AnalysisPanel_ != nullptr) AnalysisPanel_->Clear();
    if (CellView3D != nullptr) CellView3D->SetExits({});
    EndAnalysisStatus();
}

void TMainForm::AnalysisFinished(std::shared_ptr<const TAnalysisResult> result) {
    EndAnalysisStatus();
    if (!result || !HasProject()) {
        AnalysisPanel_->Clear();
        return;
    }
    Analysis_ = std::move(result);
    AnalysisPanel_->SetResult(Analysis_, DeckCaptions());
    ShowAnalysisTime();
    ExportAnalysis1->setEnabled(true);
    UpdateOverlay();
}

void TMainForm::ShowAnalysisTime() {
    if (Analysis_ && HasProject())
        AnalysisPanel_->SetCurrentTime(Analysis_->TimeOfStep(Playback.StepCounter));
}

TOverlayKind TMainForm::OverlayKind() const {
    for (QAction* item : Overlay1->actions())
        if (item->actionGroup() != nullptr && item->isChecked())
            return static_cast<TOverlayKind>(item->data().toInt());
    return TOverlayKind::None;
}

void TMainForm::UpdateOverlay() {
    if (!Analysis_ || !HasProject()) {
        CellView3D->SetOverlays({});
        CellView3D->SetExits({});
        return;
    }
    CellView3D->SetExits(OverlayExits1->isChecked() ? Analysis_->Exits
                                                    : std::vector<TExitResult>{});
    const TOverlayKind kind = OverlayKind();
    CellView3D->SetOverlays(kind == TOverlayKind::None ? std::vector<TFloorOverlay>{}
                                                       : FloorOverlays(*Analysis_, *LogFile, kind));
}

void TMainForm::ExportAnalysis1Click() {
    if (!Analysis_ || !HasProject()) return;
    const QFileInfo file(QString::fromStdString(LogFile->FileName));
    const QString suggested = file.absoluteDir().filePath(file.completeBaseName() + ".pdf");
    const QString path = ChooseAnalysisFile ? ChooseAnalysisFile(suggested) : QString();
    if (path.isEmpty()) return;
    TAnalysisSource source;
    source.ProjectFile = file.absoluteFilePath();
    source.FileDate = file.lastModified();
    source.Captions = DeckCaptions();
    source.Project = LogFile.get();
    source.Measures = &Measures_;
    if (!ExportAnalysis(path, *Analysis_, source, *Messages_)) return;
    // A CSV export writes its tables beside the chosen name: the panel names them.
    const QStringList written = AnalysisExportPaths(path);
    if (written.size() == 1) {
        SetStatusText(3, "Analysis written to " + ShortPath(path));
    } else {
        SetStatusText(3, "Analysis written to " + FileNamesText(written) + " in " +
                             ShortPath(QFileInfo(path).absolutePath()));
    }
}

void TMainForm::ExportRunsReport1Click() {
    if (Loading_ || Exporting_ || !ChooseRunFiles || !ChooseRunsReportFile) return;
    const QString folder = HasProject()
                               ? QFileInfo(QString::fromStdString(LogFile->FileName)).absolutePath()
                               : QString();
    const QStringList files = ChooseRunFiles(folder);
    if (files.isEmpty()) return;
    const QFileInfo first(files.front());
    const QString path =
        ChooseRunsReportFile(first.absoluteDir().filePath(first.completeBaseName() + "-runs.pdf"));
    if (path.isEmpty()) return;
    QString done;
    Exporting_ = true;
    const TRunsExport result = ExportRunsReport(this, files, path, Settings_.AnalysisSettings(),
                                                *Messages_, ShortPath(path), done);
    Exporting_ = false;
    if (result == TRunsExport::Written) SetStatusText(3, done);
}

}  // namespace orlex
