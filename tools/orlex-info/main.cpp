// orlex-info: describes a 3D log file on the command line.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonDocument>
#include <algorithm>
#include <cstdio>

#include "analysisinfo.h"
#include "importargs.h"
#include "infoprinter.h"
#include "openproject.h"
#include "runset.h"

using namespace orlex;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("orlex-info");
    QCoreApplication::setApplicationVersion(ORLEX_VERSION);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Reads a 3D log file, or the trajectories of another tool (imported as orlex-convert "
        "does), and describes its project.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("file", "The 3D log file (*.3dl) or trajectory file to read.");
    const QCommandLineOption json("json", "Print the description as JSON.");
    const QCommandLineOption quads("quads", "With --json: include every deck's quads.");
    const QCommandLineOption persons("persons", "With --json: include every person's state.");
    const QCommandLineOption play(
        "play",
        "Apply playback commands after loading, as the viewer's: +N, -N (steps), f, b (one "
        "second), r (reset), t (timer tick), p (run/pause), @K (seek to step counter K), "
        "separated by commas.",
        "sequence");
    parser.addOptions({json, quads, persons, play});
    info::AddAnalysisOptions(parser);  // with --cell-size
    for (const import::TImportOptionInfo& option : import::ImportOptionTable())
        if (std::string(option.Name) != "cell-size")
            parser.addOption(QCommandLineOption(option.Name, option.Help, option.ValueName));
    // A bad option is a usage error (2), as a bad argument; process() would exit with 1.
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "orlex-info: %s\n", qPrintable(parser.errorText()));
        return 2;
    }
    parser.process(app);  // --help and --version
    info::TAnalysisRequest analysis;
    if (QString error; !info::ReadAnalysisOptions(parser, analysis, error)) {
        std::fprintf(stderr, "orlex-info: %s\n", qPrintable(error));
        return 2;
    }

    import::TImportOptions importing;
    for (const import::TImportOptionInfo& option : import::ImportOptionTable()) {
        if (!parser.isSet(option.Name)) continue;
        const std::string problem = import::SetImportOption(
            option.Name, parser.value(option.Name).toStdString(), importing);
        if (!problem.empty()) {
            std::fprintf(stderr, "orlex-info: %s\n", problem.c_str());
            return 2;
        }
    }

    const QStringList args = parser.positionalArguments();
    if (args.size() != 1) {
        std::fprintf(stderr, "orlex-info: exactly one file expected\n%s",
                     qPrintable(parser.helpText()));
        return 2;
    }
    std::vector<info::TPlayItem> items;
    if (parser.isSet(play) && !info::ParsePlaySequence(parser.value(play), items)) {
        std::fprintf(stderr, "orlex-info: malformed --play sequence: %s\n",
                     qPrintable(parser.value(play)));
        return 2;
    }

    const QString path = args.first();
    info::TRecorder recorder;
    recorder.EchoMessages = !parser.isSet(json);
    TLogFile1 project("Deck");
    const bool opened =
        import::OpenProject(path.toStdString(), importing, project, recorder, recorder);
    analysis.Settings.CellSize =
        stats::CellSizeInEffect(importing.CellSize, project, analysis.Settings.CellSize);

    TPlayback playback;
    playback.SetHost(&recorder);
    playback.SetMessages(&recorder);
    std::unique_ptr<TAnalysisResult> result;
    if (opened && analysis.Enabled) {
        result = info::RunAnalysis(project, analysis, path.toStdString());
        if (!result) return 1;  // a --measure file that cannot be read
    }
    if (opened) {
        // The checkpoints serve seeks only.
        const bool seeks = std::any_of(items.begin(), items.end(), [](const info::TPlayItem& item) {
            return item.Kind == '@';
        });
        playback.SetProject(&project, seeks);
        info::ApplyPlay(playback, items);
        project.ReportTo(recorder);
    }

    if (parser.isSet(json)) {
        info::TJsonOptions options;
        options.Quads = parser.isSet(quads);
        options.Persons = parser.isSet(persons);
        QJsonObject root = info::BuildJson(path, project, playback, recorder, options);
        if (result) root.insert("analysis", info::AnalysisJsonObject(*result, path, project));
        std::fputs(QJsonDocument(root).toJson(QJsonDocument::Indented).constData(), stdout);
    } else if (opened) {
        std::fputs(info::BuildSummary(path, project, playback).c_str(), stdout);
        if (result) std::fputs(info::AnalysisSummary(*result, project).c_str(), stdout);
    }
    return opened ? 0 : 1;
}
