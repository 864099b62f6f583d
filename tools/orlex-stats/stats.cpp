#include "stats.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "importargs.h"
#include "osfile.h"

namespace orlex::stats {

namespace {

// A file's whole text; false with the reason when it cannot be read.
bool ReadText(const std::string& path, std::string& text, std::string& error) {
    std::ifstream in(PathOf(path), std::ios::binary);
    if (!in) {
        error = "cannot be opened";
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        error = "cannot be read";
        return false;
    }
    text = std::move(buffer).str();
    return true;
}

// Writes through a temporary name beside the file, so that no partial summary stays.
bool WriteText(const std::string& path, const std::string& text) {
    const std::string part = path + ".part";
    std::FILE* file = OpenFile(part, "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    std::string error;
    if (std::fclose(file) != 0 || !written || !RenameFile(part, path, error)) {
        RemoveFile(part);
        return false;
    }
    return true;
}

bool SameSettings(const TAnalysisSettings& a, const TAnalysisSettings& b) {
    return a.CellSize == b.CellSize && a.Window == b.Window && a.DensityLimit == b.DensityLimit &&
           a.CongestionShare == b.CongestionShare;
}

// Reads every shard and strings their runs together; the case is that of the first
// shard made with --case, or every file's with --any-case on all of them, or else
// decided afresh by the first usable run. Returns the exit status when it fails.
std::optional<int> ReadShards(const std::vector<std::string>& paths, TAnalysisSettings& settings,
                              TCaseChoice& choice, std::vector<TRunSummary>& runs,
                              std::string& err) {
    bool allAny = true;
    std::optional<TCaseChoice> fromFile;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        std::string text, error;
        TShard shard;
        if (ReadText(paths[i], text, error)) {
            shard = ReadShard(text);
            if (!shard.Error.empty()) error = "not a usable summary: " + shard.Error;
        }
        if (error.empty() && i > 0 && !SameSettings(shard.Settings, settings)) {
            error = "made with other analysis settings than " + paths[0];
        }
        if (!error.empty()) {
            err += "orlex-stats: " + paths[i] + ": " + error + "\n";
            return 1;
        }
        settings = shard.Settings;
        allAny = allAny && shard.Choice.Mode == TCaseMode::Any;
        if (shard.Choice.Mode == TCaseMode::File && !fromFile) fromFile = shard.Choice;
        for (TRunSummary& run : shard.Runs) runs.push_back(std::move(run));
    }
    if (choice.Mode == TCaseMode::First) {
        if (fromFile) {
            choice = *fromFile;
        } else if (allAny) {
            choice.Mode = TCaseMode::Any;
        }
    }
    return std::nullopt;
}

}  // namespace

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
    TAnalysisSettings settings = o.Settings;
    TCaseChoice choice;
    choice.Mode = o.CaseMode;
    choice.IncludeIncomplete = o.IncludeIncomplete;
    TRunSummary reference;
    std::string why;
    const TRunOpening opening{import::TImportOpener{o.Import}, o.Import.CellSize.has_value()};
    if (o.CaseMode == TCaseMode::File &&
        !ChooseCaseFile(choice, o.CaseFile, settings, reference, why, opening)) {
        err += "orlex-stats: --case " + o.CaseFile + ": " + why + "\n";
        return 2;
    }
    std::vector<TRunSummary> runs;
    if (o.Merge) {
        if (const auto status = ReadShards(o.Files, settings, choice, runs, err)) return *status;
    } else {
        runs = AnalyseFiles(o.Files, settings, o.Threads, nullptr, opening);
    }
    ApplyCase(runs, choice);
    int status = 0;
    for (const TRunSummary& run : runs) {
        for (const std::string& w : run.Warnings) {
            err += "orlex-stats: " + run.File + ": " + w + "\n";
        }
        if (const std::string note = RunNote(run); !note.empty())
            err += "orlex-stats: " + run.File + ": " + note + "\n";
        if (run.Status != TRunStatus::Used) status = 1;
    }
    if (!o.SummaryFile.empty() && !WriteText(o.SummaryFile, SummaryJson(runs, choice, settings))) {
        err += "orlex-stats: " + o.SummaryFile + ": the summary cannot be written\n";
        status = 1;
    }
    switch (o.Format) {
        case TFormat::Text:
            out += FormatText(runs, choice);
            break;
        case TFormat::Csv:
            out += FormatCsv(runs, choice);
            break;
        case TFormat::Json:
            out += FormatJson(runs, choice);
            break;
    }
    return status;
}

}  // namespace orlex::stats
