// The command line of orlex-stats.
#include <charconv>

#include "importargs.h"
#include "stats.h"

namespace orlex::stats {

namespace {

constexpr TAnalysisSetting kSettings[] = {TAnalysisSetting::CellSize, TAnalysisSetting::Window,
                                          TAnalysisSetting::DensityLimit,
                                          TAnalysisSetting::CongestionShare};

}  // namespace

std::string UsageText() {
    return "Usage: orlex-stats [options] FILE...\n"
           "       orlex-stats --merge [options] SUMMARY.json...\n"
           "Statistics of many runs of one evacuation case: per file the persons, the\n"
           "evacuation time, the 95th percentile of the exit times and the congested\n"
           "cells; over the runs N, min, mean, median, max and the p95 of the evacuation\n"
           "times by the ranking rule (x_m, m = min(N, ceil(0.95 N) + 1)), its upper 95 %\n"
           "confidence bound (distribution-free, from 59 runs) and the running p95;\n"
           "per exit (where saved persons' tracks end; one exit where cells overlap on a\n"
           "deck) the mean and largest share of the persons and the p95 of its last time.\n"
           "Runs are of one case when XMax, YMax, ZMax, VMax, PMax and the decks' cells\n"
           "agree; files of another case are named and left out.\n"
           "  --csv                   comma-separated output\n"
           "  --json                  JSON output\n"
           "  --case FILE             the 3D log file of the case (default: the first\n"
           "                          usable file)\n"
           "  --any-case              take every usable file, whatever its case\n"
           "  --include-incomplete    count runs whose file ends inside the tracks, with\n"
           "                          their largest known exit time (marked incomplete)\n"
           "  --summary OUT.json      also write a summary for a later --merge\n"
           "  --merge                 the FILEs are summaries: the statistics of all their\n"
           "                          runs, in the order given, as one call over the files\n"
           "  --cell-size S           cell size in metres (0.05 to 5, default: the file's\n"
           "                          own where it was imported, else 0.4)\n"
           "  --window W              density window in cells (odd, 1 to 15, default 5)\n"
           "  --density-limit D       persons/m² above which a window is crowded (default 4)\n"
           "  --congestion-share F    share of the duration that makes a cell congested\n"
           "                          (0 to 1, default 0.1)\n"
           "The FILEs may also be the trajectories of other tools, imported as orlex-convert\n"
           "does (the cell size of the analysis is then the import's):\n" +
           import::ImportOptionsHelp(26, {"cell-size"}) +
           "  --threads N             files analysed at once (default: one per core)\n"
           "  -h, --help              this text\n"
           "Exit status: 0 when every file was used, 1 when any was left out (unreadable\n"
           "or of another case) or a summary could not be read or written, 2 for a usage\n"
           "error or a --case file that cannot be used.\n";
}

TParseResult ParseArguments(const std::vector<std::string>& args) {
    TParseResult result;
    TStatsOptions& o = result.Options;
    bool csv = false;
    bool json = false;
    bool anyCase = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::optional<std::string> inlineValue;
        if (arg.rfind("--", 0) == 0) {
            if (const auto eq = arg.find('='); eq != std::string::npos) {
                inlineValue = arg.substr(eq + 1);
                arg.resize(eq);
            }
        }
        const auto value = [&](std::string& out) {
            if (inlineValue) {
                out = *inlineValue;
                return true;
            }
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        if (arg == "-h" || arg == "--help") {
            result.Help = true;
            result.Ok = true;
            return result;
        }
        if (arg == "--csv" || arg == "--json") {
            (arg == "--csv" ? csv : json) = true;
            continue;
        }
        if (arg == "--include-incomplete") {
            o.IncludeIncomplete = true;
            continue;
        }
        if (arg == "--merge" || arg == "--any-case") {
            (arg == "--merge" ? o.Merge : anyCase) = true;
            continue;
        }
        if (arg == "--case" || arg == "--summary") {
            std::string& target = arg == "--case" ? o.CaseFile : o.SummaryFile;
            if (!value(target) || target.empty()) {
                result.Error = arg + ": a file name is missing";
                return result;
            }
            continue;
        }
        bool known = false;
        for (const TAnalysisSetting setting : kSettings) {
            if (arg != std::string("--") + OptionName(setting)) continue;
            known = true;
            std::string text;
            if (!value(text)) {
                result.Error = arg + ": a value is missing";
                return result;
            }
            if (const auto problem = ParseAnalysisSetting(setting, text, o.Settings)) {
                result.Error = arg + ": " + problem->Message;
                return result;
            }
            o.SettingsGiven = true;
            if (setting == TAnalysisSetting::CellSize) o.Import.CellSize = o.Settings.CellSize;
        }
        if (known) continue;
        if (import::IsImportOption(arg)) {
            const std::string name = arg.substr(2);
            std::string text;
            if (import::ImportOptionTakesValue(name) && !value(text)) {
                result.Error = arg + ": a value is missing";
                return result;
            }
            if (std::string problem = import::SetImportOption(name, text, o.Import);
                !problem.empty()) {
                result.Error = std::move(problem);
                return result;
            }
            continue;
        }
        if (arg == "--threads") {
            std::string text;
            int threads = 0;
            const bool ok = value(text) &&
                            std::from_chars(text.data(), text.data() + text.size(), threads).ptr ==
                                text.data() + text.size() &&
                            !text.empty() && threads >= 1 && threads <= 1024;
            if (!ok) {
                result.Error =
                    "--threads: the number of threads must be a whole number from 1 to 1024";
                return result;
            }
            o.Threads = threads;
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            result.Error = arg + ": unknown option";
            return result;
        }
        o.Files.push_back(args[i]);
    }
    if (csv && json) {
        result.Error = "--csv and --json cannot be given together";
    } else if (anyCase && !o.CaseFile.empty()) {
        result.Error = "--case and --any-case cannot be given together";
    } else if (o.Merge && o.SettingsGiven) {
        result.Error =
            "--merge takes the analysis settings from the summaries; give them when making them";
    } else if (o.Files.empty()) {
        result.Error = o.Merge ? "no SUMMARY given" : "no FILE given";
    }
    if (!result.Error.empty()) return result;
    o.CaseMode = anyCase ? TCaseMode::Any : o.CaseFile.empty() ? TCaseMode::First : TCaseMode::File;
    o.Format = csv ? TFormat::Csv : json ? TFormat::Json : TFormat::Text;
    result.Ok = true;
    return result;
}

}  // namespace orlex::stats
