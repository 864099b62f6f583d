// orlex-report: the PDF report of the evacuation analysis of a 3D log file,
// without a window or a display server.
//
//   orlex-report FILE -o REPORT.pdf [--cell-size S] [--window W] [--density-limit D]
//                [--congestion-share F]
//   orlex-report RUN... -o CASE.pdf [--runs] [--case FILE | --any-case]
//                [--include-incomplete] [analysis options]
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>

#include "analysis.h"
#include "interfaces.h"
#include "logfile.h"
#include "measurefile.h"
#include "openproject.h"
#include "pdfreport.h"
#include "reportoptions.h"

namespace {

using namespace orlex;

// Loader messages go to stderr; questions get the default answer.
class TStderrMessages final : public IMessages {
public:
    TMsgResult ShowMessage(const std::string& text, const std::string& caption, TMsgIcon,
                           TMsgButtons buttons) override {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return DefaultAnswer(buttons);
    }
};

// Why a loaded file cannot give a report; empty when it can.
QString Refusal(const TLogFile1& project) {
    if (project.XMax <= 0 && project.YMax <= 0 && project.ZMax <= 0 && project.PMax <= 0)
        return QStringLiteral("not a 3D log file: it has no header");
    if (project.DeckCount() == 0) return QStringLiteral("not a 3D log file: it has no decks");
    for (int z = 0; z < project.DeckCount(); ++z)
        if (project.Decks[static_cast<std::size_t>(z)].CellCount > 0) return {};
    return QStringLiteral("not a 3D log file: its decks hold no cells");
}

int Fail(const QString& path, const QString& why) {
    std::fprintf(stderr, "orlex-report: %s: %s\n", qPrintable(path), qPrintable(why));
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    // No window is ever shown: the offscreen platform needs no display server.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = QGuiApplication::arguments();
    args.removeFirst();
    reporttool::TReportOptions options;
    QString error;
    bool help = false;
    if (!reporttool::ParseReportOptions(args, options, error, help)) {
        std::fprintf(stderr, "orlex-report: %s\n\n%s", qPrintable(error),
                     qPrintable(reporttool::ReportUsage()));
        return 2;
    }
    if (help) {
        std::fputs(qPrintable(reporttool::ReportUsage()), stdout);
        return 0;
    }

    if (options.Runs) return reporttool::RunsReport(options);

    TStderrMessages messages;
    TNullProgress progress;
    TLogFile1 project("Deck");
    if (!import::OpenProject(options.Inputs.front().toStdString(), options.Import, project,
                             progress, messages)) {
        // A file that opened but is no project has been named with the reason already.
        if (!project.FileName.empty()) return 1;
        return Fail(options.Inputs.front(), QStringLiteral("cannot be read"));
    }
    if (const QString why = Refusal(project); !why.isEmpty())
        return Fail(options.Inputs.front(), why);
    options.Settings.CellSize =
        stats::CellSizeInEffect(options.Import.CellSize, project, options.Settings.CellSize);
    TMeasureSet measures;
    std::vector<std::string> problems;
    const bool measured =
        MeasuresForProject(options.Inputs.front().toStdString(), options.MeasureFile.toStdString(),
                           project, options.Settings.CellSize, measures, problems);
    for (const std::string& problem : problems)
        std::fprintf(stderr, "orlex-report: %s\n", problem.c_str());
    if (!measured) return 1;
    TAnalysisOptions analysisOptions;
    analysisOptions.Measures = &measures;
    const std::unique_ptr<TAnalysisResult> result =
        TEvacuationAnalysis(project, options.Settings, analysisOptions).Run();
    if (!result) return Fail(options.Inputs.front(), QStringLiteral("the analysis failed"));

    const QFileInfo file(options.Inputs.front());
    TAnalysisSource source;
    source.ProjectFile = file.absoluteFilePath();
    source.FileDate = file.lastModified();
    for (int z = 0; z < project.DeckCount(); ++z)
        source.Captions << QString::fromStdString(project.GetDeckCaption(z));
    source.Project = &project;
    source.Measures = &measures;
    QString why;
    if (!SaveAtomically(
            options.Output,
            [&](QIODevice& device) { return WriteAnalysisPdf(device, *result, source); }, why))
        return Fail(options.Output, QStringLiteral("cannot be written: ") + why);
    return 0;
}
