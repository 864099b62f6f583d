#include "stats.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <thread>

#include "analysis.h"
#include "jsonwriter.h"
#include "logfile.h"

namespace orlex::stats {

namespace {

constexpr TAnalysisSetting kSettings[] = {TAnalysisSetting::CellSize, TAnalysisSetting::Window,
                                          TAnalysisSetting::DensityLimit,
                                          TAnalysisSetting::CongestionShare};

// Collects what the reader reports instead of showing it.
class TCollectingMessages final : public IMessages {
public:
    std::vector<std::string> Warnings;
    std::vector<std::string> Errors;
    TMsgResult ShowMessage(const std::string& text, const std::string&, TMsgIcon icon,
                           TMsgButtons buttons) override {
        std::string line = text;
        std::replace(line.begin(), line.end(), '\n', ' ');
        (icon == TMsgIcon::Error ? Errors : Warnings).push_back(line);
        return DefaultAnswer(buttons);
    }
};

// The shortest text that reads back as the same number.
std::string Number(double value) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc{} ? std::string(buffer, end) : std::string();
}

std::string Number(const std::optional<double>& value) {
    return value ? Number(*value) : "-";
}

std::string Pad(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

// A CSV field, quoted when it needs to be.
std::string Field(const std::string& text) {
    if (text.find_first_of(",\"\n\r") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

int UsedRuns(const std::vector<TRunSummary>& runs) {
    return static_cast<int>(std::count_if(runs.begin(), runs.end(), [](auto& r) { return r.Ok; }));
}

}  // namespace

std::string UsageText() {
    return "Usage: orlex-stats [options] FILE...\n"
           "Statistics of many runs of one benchmark case: per file the persons, the\n"
           "evacuation time, the 95th percentile of the exit times and the congested\n"
           "cells; over all files N, min, mean, p50, p95 (ranking rule) and max of the\n"
           "evacuation times.\n"
           "  --csv                   comma-separated output\n"
           "  --json                  JSON output\n"
           "  --cell-size S           cell size in metres (0.05 to 5, default 0.4)\n"
           "  --window W              density window in cells (odd, 1 to 15, default 5)\n"
           "  --density-limit D       persons/m² above which a window is crowded (default 4)\n"
           "  --congestion-share F    share of the duration that makes a cell congested\n"
           "                          (0 to 1, default 0.1)\n"
           "  --threads N             files analysed at once (default: one per core)\n"
           "  -h, --help              this text\n"
           "Exit status: 0 when every file was used, 1 when any could not be read,\n"
           "2 for a usage error.\n";
}

TParseResult ParseArguments(const std::vector<std::string>& args) {
    TParseResult result;
    bool csv = false;
    bool json = false;
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
        bool known = false;
        for (const TAnalysisSetting setting : kSettings) {
            if (arg != std::string("--") + OptionName(setting)) continue;
            known = true;
            std::string text;
            if (!value(text)) {
                result.Error = arg + ": a value is missing";
                return result;
            }
            if (const auto problem = ParseAnalysisSetting(setting, text, result.Options.Settings)) {
                result.Error = arg + ": " + problem->Message;
                return result;
            }
        }
        if (known) continue;
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
            result.Options.Threads = threads;
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            result.Error = arg + ": unknown option";
            return result;
        }
        result.Options.Files.push_back(args[i]);
    }
    if (csv && json) {
        result.Error = "--csv and --json cannot be given together";
        return result;
    }
    if (result.Options.Files.empty()) {
        result.Error = "no FILE given";
        return result;
    }
    result.Options.Format = csv ? TFormat::Csv : json ? TFormat::Json : TFormat::Text;
    result.Ok = true;
    return result;
}

TRunSummary AnalyseFile(const std::string& path, const TAnalysisSettings& settings) {
    TRunSummary run;
    run.File = path;
    TLogFile1 project("Deck");
    TCollectingMessages messages;
    TNullProgress progress;
    const bool read = project.LoadFromFile(path, progress, messages);
    run.Warnings = messages.Warnings;
    if (!read || !messages.Errors.empty()) {
        run.Error = messages.Errors.empty() ? "cannot be read" : messages.Errors.front();
        return run;
    }
    const auto result = TEvacuationAnalysis(project, settings, {true, 1}).Run();
    if (!result || !result->EvacuationTime) {
        run.Error = "holds no persons";
        return run;
    }
    run.Ok = true;
    run.Persons = project.PersonCount();
    run.EvacuationTime = result->EvacuationTime;
    run.P95 = result->ExitStats->P95;
    run.CongestedCells = static_cast<int>(result->Congested.size());
    return run;
}

std::vector<TRunSummary> AnalyseFiles(const std::vector<std::string>& files,
                                      const TAnalysisSettings& settings, int threads) {
    std::vector<TRunSummary> runs(files.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < files.size();) {
            runs[i] = AnalyseFile(files[i], settings);
        }
    };
    const int count = std::min<int>(AnalysisThreads(threads), static_cast<int>(files.size()));
    std::vector<std::jthread> helpers;
    for (int t = 1; t < count; ++t) helpers.emplace_back(work);
    work();
    return runs;
}

std::optional<TExitStatistics> OverRuns(const std::vector<TRunSummary>& runs) {
    std::vector<double> times;
    for (const TRunSummary& run : runs) {
        if (run.Ok) times.push_back(*run.EvacuationTime);
    }
    return ExitStatistics(std::move(times));
}

std::string FormatText(const std::vector<TRunSummary>& runs) {
    std::size_t width = 4;
    for (const TRunSummary& run : runs) width = std::max(width, run.File.size());
    std::string text = "file" + std::string(width - 4, ' ') +
                       "  persons  evacuation time (s)  p95 exit time (s)  congested cells\n";
    for (const TRunSummary& run : runs) {
        text += run.File + std::string(width - run.File.size(), ' ');
        if (!run.Ok) {
            text += "  cannot be used: " + run.Error + "\n";
            continue;
        }
        text += "  " + Pad(std::to_string(run.Persons), 7) + "  " +
                Pad(Number(run.EvacuationTime), 19) + "  " + Pad(Number(run.P95), 17) + "  " +
                Pad(std::to_string(run.CongestedCells), 15) + "\n";
    }
    const int used = UsedRuns(runs);
    text += "\nRuns: " + std::to_string(used) + " of " + std::to_string(runs.size()) + " files";
    if (used < static_cast<int>(runs.size())) {
        text += " (" + std::to_string(runs.size() - used) + " could not be used)";
    }
    text += "\n";
    if (const auto s = OverRuns(runs)) {
        text += "Evacuation time over the runs (s): N " + std::to_string(used) + ", min " +
                Number(s->Min) + ", mean " + Number(s->Mean) + ", p50 " + Number(s->P50) +
                ", p95 " + Number(s->P95) + ", max " + Number(s->Max) + "\n";
        if (used < 50) text += "Note: the 95th percentile rests on fewer than 50 runs.\n";
    }
    return text;
}

std::string FormatCsv(const std::vector<TRunSummary>& runs) {
    std::string text = "file,status,persons,evacuationTime,p95ExitTime,congestedCells,error\n";
    for (const TRunSummary& run : runs) {
        text += Field(run.File) + (run.Ok ? ",ok," : ",failed,");
        if (run.Ok) {
            text += std::to_string(run.Persons) + "," + Number(run.EvacuationTime) + "," +
                    Number(run.P95) + "," + std::to_string(run.CongestedCells) + ",\n";
        } else {
            text += ",,,," + Field(run.Error) + "\n";
        }
    }
    text += "\nstatistic,evacuationTime\nN," + std::to_string(UsedRuns(runs)) + "\n";
    if (const auto s = OverRuns(runs)) {
        text += "min," + Number(s->Min) + "\nmean," + Number(s->Mean) + "\np50," + Number(s->P50) +
                "\np95," + Number(s->P95) + "\nmax," + Number(s->Max) + "\n";
    }
    return text;
}

std::string FormatJson(const std::vector<TRunSummary>& runs) {
    TJsonWriter json;
    json.BeginObject().Key("files").BeginArray();
    for (const TRunSummary& run : runs) {
        json.BeginObject().Key("file").String(run.File).Key("ok").Bool(run.Ok);
        if (run.Ok) {
            json.Key("persons").Integer(run.Persons);
            json.Key("evacuationTime").Number(run.EvacuationTime);
            json.Key("p95ExitTime").Number(run.P95);
            json.Key("congestedCells").Integer(run.CongestedCells);
        } else {
            json.Key("error").String(run.Error);
        }
        json.Key("warnings").BeginArray();
        for (const std::string& w : run.Warnings) json.String(w);
        json.EndArray().EndObject();
    }
    json.EndArray();
    json.Key("runs").BeginObject().Key("n").Integer(UsedRuns(runs));
    json.Key("failed").Integer(static_cast<int64_t>(runs.size()) - UsedRuns(runs));
    const auto s = OverRuns(runs);
    json.Key("evacuationTime");
    if (s) {
        json.BeginObject().Key("min").Number(s->Min).Key("mean").Number(s->Mean);
        json.Key("p50").Number(s->P50).Key("p95").Number(s->P95).Key("max").Number(s->Max);
        json.EndObject();
    } else {
        json.Null();
    }
    json.EndObject().EndObject();
    return json.Text() + "\n";
}

int Main(const std::vector<std::string>& args, std::string& out, std::string& err) {
    const TParseResult parsed = ParseArguments(args);
    if (parsed.Help) {
        out += UsageText();
        return 0;
    }
    if (!parsed.Ok) {
        err += "orlex-stats: " + parsed.Error + "\n" + UsageText();
        return 2;
    }
    const TStatsOptions& o = parsed.Options;
    const auto runs = AnalyseFiles(o.Files, o.Settings, o.Threads);
    bool failed = false;
    for (const TRunSummary& run : runs) {
        for (const std::string& w : run.Warnings)
            err += "orlex-stats: " + run.File + ": " + w + "\n";
        if (!run.Ok) {
            failed = true;
            err += "orlex-stats: " + run.File + ": cannot be used: " + run.Error + "\n";
        }
    }
    switch (o.Format) {
        case TFormat::Text:
            out += FormatText(runs);
            break;
        case TFormat::Csv:
            out += FormatCsv(runs);
            break;
        case TFormat::Json:
            out += FormatJson(runs);
            break;
    }
    return failed ? 1 : 0;
}

}  // namespace orlex::stats
