// orlex-info: describes a 3D log file on the command line.
#include <algorithm>
#include <cstdio>

#include "analysisinfo.h"
#include "importargs.h"
#include "infoprinter.h"
#include "jsontext.h"
#include "openproject.h"
#include "optionparser.h"
#include "osfile.h"
#include "runset.h"

using namespace orlex;

namespace {

constexpr char kDescription[] =
    "Reads a 3D log file, or the trajectories of another tool (imported as orlex-convert "
    "does), and describes its project.";

void AddOptions(info::TOptionParser& parser) {
    parser.Add({{"h", "help"}, "Displays help on commandline options.", ""});
    parser.Add({{"help-all"}, "Displays help including Qt specific options.", ""});
    parser.Add({{"v", "version"}, "Displays version information.", ""});
    parser.Add({{"json"}, "Print the description as JSON.", ""});
    parser.Add({{"quads"}, "With --json: include every deck's quads.", ""});
    parser.Add({{"persons"}, "With --json: include every person's state.", ""});
    parser.Add({{"play"},
                "Apply playback commands after loading, as the viewer's: +N, -N (steps), f, b "
                "(one second), r (reset), t (timer tick), p (run/pause), @K (seek to step "
                "counter K), separated by commas.",
                "sequence"});
    info::AddAnalysisOptions(parser);  // with --cell-size
    for (const import::TImportOptionInfo& option : import::ImportOptionTable())
        if (std::string(option.Name) != "cell-size")
            parser.Add({{option.Name}, option.Help, option.ValueName});
}

// Writes text to standard output; false when it cannot.
bool Print(const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
           std::fflush(stdout) == 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> arguments = Utf8Arguments(argc, argv);
    UseBinaryOutput(stdout);
    const std::string program = arguments.empty() ? "orlex-info" : arguments.front();

    info::TOptionParser parser;
    AddOptions(parser);
    const auto helpText = [&] {
        return parser.HelpText(program, kDescription, "file",
                               "The 3D log file (*.3dl) or trajectory file to read.");
    };
    // A bad option is a usage error (2), as a bad argument.
    if (!parser.Parse(arguments)) {
        std::fprintf(stderr, "orlex-info: %s\n", parser.ErrorText().c_str());
        return 2;
    }
    if (parser.IsSet("version")) return Print("orlex-info " ORLEX_VERSION "\n") ? 0 : 1;
    if (parser.IsSet("help") || parser.IsSet("help-all")) return Print(helpText()) ? 0 : 1;

    info::TAnalysisRequest analysis;
    if (std::string error; !info::ReadAnalysisOptions(parser, analysis, error)) {
        std::fprintf(stderr, "orlex-info: %s\n", error.c_str());
        return 2;
    }

    import::TImportOptions importing;
    for (const import::TImportOptionInfo& option : import::ImportOptionTable()) {
        if (!parser.IsSet(option.Name)) continue;
        const std::string problem =
            import::SetImportOption(option.Name, parser.Value(option.Name), importing);
        if (!problem.empty()) {
            std::fprintf(stderr, "orlex-info: %s\n", problem.c_str());
            return 2;
        }
    }

    if (parser.Positional().size() != 1) {
        std::fprintf(stderr, "orlex-info: exactly one file expected\n%s", helpText().c_str());
        return 2;
    }
    std::vector<info::TPlayItem> items;
    if (parser.IsSet("play") && !info::ParsePlaySequence(parser.Value("play"), items)) {
        std::fprintf(stderr, "orlex-info: malformed --play sequence: %s\n",
                     parser.Value("play").c_str());
        return 2;
    }

    const std::string path = parser.Positional().front();
    const bool json = parser.IsSet("json");
    info::TRecorder recorder;
    recorder.EchoMessages = !json;
    TLogFile1 project("Deck");
    const bool opened = import::OpenProject(path, importing, project, recorder, recorder);
    analysis.Settings.CellSize =
        stats::CellSizeInEffect(importing.CellSize, project, analysis.Settings.CellSize);

    TPlayback playback;
    playback.SetHost(&recorder);
    playback.SetMessages(&recorder);
    std::unique_ptr<TAnalysisResult> result;
    if (opened && analysis.Enabled) {
        result = info::RunAnalysis(project, analysis, path);
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

    std::string out;
    if (json) {
        info::TJsonOptions options;
        options.Quads = parser.IsSet("quads");
        options.Persons = parser.IsSet("persons");
        nlohmann::json root = info::BuildJson(path, project, playback, recorder, options);
        if (result) root["analysis"] = info::AnalysisJsonObject(*result, path, project);
        out = info::IndentedJson(root);
    } else if (opened) {
        out = info::BuildSummary(path, project, playback);
        if (result) out += info::AnalysisSummary(*result, project);
    }
    if (!Print(out)) {
        std::fputs("orlex-info: cannot write the output\n", stderr);
        return 1;
    }
    return opened ? 0 : 1;
}
