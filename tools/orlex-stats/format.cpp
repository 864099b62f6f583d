// The three outputs of orlex-stats: text, CSV and JSON.
#include "format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "jsonwriter.h"
#include "stats.h"

namespace orlex::stats {

namespace {

constexpr const char* kRuleText = "ranking rule x_m, m = min(N, ceil(0.95 N) + 1)";

std::string Figure(const std::optional<double>& value) {
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

std::size_t Count(const std::vector<TRunSummary>& runs, TRunStatus status) {
    std::size_t n = 0;
    for (const TRunSummary& run : runs) n += run.Status == status ? 1 : 0;
    return n;
}

std::string CaseLine(const TCaseChoice& choice) {
    if (choice.Mode == TCaseMode::Any) return "Case: any (--any-case): every usable file counts\n";
    if (!choice.Key) return "Case: none (no usable file)\n";
    return "Case: " + CaseText(*choice.Key) +
           (choice.Mode == TCaseMode::File ? " (--case " : " (the first usable file, ") +
           choice.From + ")\n";
}

std::string RunningTable(const TRunStatistics& s) {
    const std::size_t every = s.N <= 20 ? 1 : 10 * ((s.N + 199) / 200);
    std::string text =
        "\nRunning p95 (s), in the order given:\n"
        "   runs       p95  change over the last 10 runs\n";
    for (std::size_t n = every; n <= s.N; n += every) {
        if (n + every > s.N) n = s.N;  // the last row is the last run
        text += Pad(std::to_string(n), 7) + "  " + Pad(Number(s.Running[n - 1]), 8) + "  " +
                Pad(ChangeText(RelativeChange(s.Running, n - 1)), 28) + "\n";
    }
    return text;
}

}  // namespace

std::string Number(double value) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc{} ? std::string(buffer, end) : std::string();
}

void WriteCaseJson(TJsonWriter& json, const TCaseKey& key) {
    json.BeginObject().Key("xMax").Integer(key.XMax).Key("yMax").Integer(key.YMax);
    json.Key("zMax").Integer(key.ZMax).Key("vMax").Integer(key.VMax);
    json.Key("pMax").Integer(key.PMax).Key("cells").String(CellsText(key.Cells)).EndObject();
}

// The exits over the runs, as text.
std::string ExitsText(const std::vector<TRunSummary>& runs) {
    const std::vector<TExitOverRuns> exits = ExitsOverRuns(runs);
    if (exits.empty()) return {};
    std::string text =
        "\nExits over the runs (one exit where their cells overlap on a deck): share of the "
        "persons, p95 of its last exit time\n";
    for (const TExitOverRuns& e : exits) {
        text += "  " + e.Name + ": in " + std::to_string(e.Runs) + " runs, mean " +
                PercentCut(e.MeanShare) + ", largest " + PercentCut(e.MaxShare) + ", p95 " +
                Figure(e.P95Last) + " s\n";
    }
    return text;
}

std::string FormatText(const std::vector<TRunSummary>& runs, const TCaseChoice& choice) {
    std::size_t width = 4;
    for (const TRunSummary& run : runs) width = std::max(width, run.File.size());
    std::string text = "file" + std::string(width - 4, ' ') +
                       "  persons  evacuation time (s)  p95 exit time (s)  congested cells\n";
    for (const TRunSummary& run : runs) {
        text += run.File + std::string(width - run.File.size(), ' ');
        if (run.Status == TRunStatus::Failed) {
            text += "  cannot be used: " + run.Error + "\n";
        } else if (run.Status == TRunStatus::OtherCase || run.Status == TRunStatus::Incomplete) {
            text += "  left out: " + run.LeftOut + "\n";
        } else {
            text += "  " + Pad(std::to_string(run.Persons), 7) + "  " +
                    Pad(Figure(run.EvacuationTime), 19) + "  " + Pad(Figure(run.P95), 17) + "  " +
                    Pad(std::to_string(run.CongestedCells), 15);
            if (run.CutTracks > 0)
                text += "  (" + IncompleteReason(run) + "; largest known exit time)";
            text += "\n";
        }
    }
    const std::size_t failed = Count(runs, TRunStatus::Failed);
    const std::size_t other = Count(runs, TRunStatus::OtherCase);
    const std::size_t incomplete = Count(runs, TRunStatus::Incomplete);
    std::size_t counted = 0;
    for (const TRunSummary& run : runs)
        counted += run.Status == TRunStatus::Used && run.CutTracks > 0 ? 1 : 0;
    text += "\n" + CaseLine(choice) +
            "Runs: " + std::to_string(runs.size() - failed - other - incomplete) + " of " +
            std::to_string(runs.size()) + " files";
    if (failed > 0) text += ", " + std::to_string(failed) + " could not be used";
    if (other > 0) text += ", " + std::to_string(other) + " of another case left out";
    if (incomplete > 0)
        text += ", " + std::to_string(incomplete) +
                " incomplete left out (--include-incomplete counts them)";
    if (counted > 0)
        text += ", " + std::to_string(counted) +
                " incomplete counted with their largest known exit times";
    text += "\n";
    const auto s = OverRuns(runs);
    if (!s) return text;
    const std::string n = std::to_string(s->N);
    text += "Evacuation time over the runs (s): N " + n + ", min " + Number(s->Min) + ", mean " +
            Number(s->Mean) + ", median " + Number(s->Median) + ", max " + Number(s->Max) + "\n";
    text += "p95 of the evacuation times: " + Number(s->P95) + " s (" + kRuleText + ": the " +
            Ordinal(s->P95Rank) + " of " + n + " sorted times)\n";
    if (s->BoundReached) {
        text += "Upper 95 % confidence bound of the 95th percentile: " + Number(s->Bound) +
                " s (distribution-free: the " + Ordinal(s->BoundRank) + " of " + n +
                " sorted times, confidence " + PercentCut(s->BoundConfidence) + ")\n";
    } else {
        text += "Upper 95 % confidence bound of the 95th percentile: none from " + n +
                " runs; it needs at least 59.\n  The largest time, " + Number(s->Max) +
                " s, lies at or above the 95th percentile with only " +
                PercentCut(s->BoundConfidence) + " confidence (1 - 0.95^" + n + ").\n";
    }
    if (s->N < 50) text += "Note: the 95th percentile rests on fewer than 50 runs.\n";
    return text + RunningTable(*s) + ExitsText(runs);
}

std::string FormatCsv(const std::vector<TRunSummary>& runs, const TCaseChoice& choice) {
    std::string text = "file,status,persons,evacuationTime,p95ExitTime,congestedCells,error\n";
    for (const TRunSummary& run : runs) {
        text += Field(run.File);
        if (run.Status == TRunStatus::Failed) {
            text += ",failed,,,,," + Field(run.Error) + "\n";
            continue;
        }
        const char* status = run.Status == TRunStatus::Incomplete  ? ",incomplete,"
                             : run.Status == TRunStatus::OtherCase ? ",other case,"
                             : run.CutTracks > 0                   ? ",ok incomplete,"
                                                                   : ",ok,";
        text += status + std::to_string(run.Persons) + "," + Figure(run.EvacuationTime) + "," +
                Figure(run.P95) + "," + std::to_string(run.CongestedCells) + "," +
                Field(run.Status == TRunStatus::Used && run.CutTracks > 0 ? IncompleteReason(run)
                                                                          : run.LeftOut) +
                "\n";
    }
    const auto s = OverRuns(runs);
    text += "\nstatistic,evacuationTime\ncase,";
    text += choice.Mode == TCaseMode::Any ? "any" : choice.Key ? Field(CaseText(*choice.Key)) : "";
    text += "\nN," + std::to_string(s ? s->N : 0) + "\n";
    if (!s) return text;
    text += "min," + Number(s->Min) + "\nmean," + Number(s->Mean) + "\nmedian," +
            Number(s->Median) + "\np95," + Number(s->P95) + "\np95Rank," +
            std::to_string(s->P95Rank) + "\np95Rule," + Field(kRuleText) + "\nmax," +
            Number(s->Max) + "\nupperBound95," + Number(s->Bound) + "\nupperBound95Rank," +
            std::to_string(s->BoundRank) + "\nupperBound95Confidence," +
            Number(s->BoundConfidence) + "\nupperBound95Reached," +
            (s->BoundReached ? "true" : "false") + "\n\nruns,runningP95,change10\n";
    for (std::size_t i = 0; i < s->N; ++i) {
        const auto change = RelativeChange(s->Running, i);
        text += std::to_string(i + 1) + "," + Number(s->Running[i]) + "," +
                (change ? Number(*change) : "") + "\n";
    }
    text += "\nexit,deck,cells,runs,meanShare,maxShare,p95LastExitTime\n";
    for (const TExitOverRuns& e : ExitsOverRuns(runs)) {
        text += Field(e.Name) + "," + std::to_string(e.Deck) + "," + std::to_string(e.Cells) + "," +
                std::to_string(e.Runs) + "," + Number(e.MeanShare) + "," + Number(e.MaxShare) +
                "," + Figure(e.P95Last) + "\n";
    }
    return text;
}

std::string FormatJson(const std::vector<TRunSummary>& runs, const TCaseChoice& choice) {
    TJsonWriter json;
    json.BeginObject().Key("case");
    if (choice.Mode != TCaseMode::Any && choice.Key) {
        WriteCaseJson(json, *choice.Key);
    } else {
        json.Null();
    }
    json.Key("anyCase").Bool(choice.Mode == TCaseMode::Any);
    json.Key("files").BeginArray();
    for (const TRunSummary& run : runs) {
        json.BeginObject().Key("file").String(run.File);
        json.Key("ok").Bool(run.Status == TRunStatus::Used);
        if (run.Ok) {
            json.Key("persons").Integer(run.Persons);
            json.Key("complete").Bool(run.CutTracks == 0).Key("cutTracks").Integer(run.CutTracks);
            json.Key("evacuationTime").Number(run.EvacuationTime);
            json.Key("p95ExitTime").Number(run.P95);
            json.Key("congestedCells").Integer(run.CongestedCells);
        }
        if (run.Status != TRunStatus::Used) {
            json.Key("otherCase").Bool(run.Status == TRunStatus::OtherCase);
            json.Key("error").String(run.Ok ? run.LeftOut : run.Error);
        }
        json.Key("warnings").BeginArray();
        for (const std::string& w : run.Warnings) json.String(w);
        json.EndArray().EndObject();
    }
    json.EndArray();
    const auto s = OverRuns(runs);
    json.Key("runs").BeginObject().Key("n").Integer(s ? static_cast<int64_t>(s->N) : 0);
    json.Key("failed").Integer(static_cast<int64_t>(Count(runs, TRunStatus::Failed)));
    json.Key("otherCase").Integer(static_cast<int64_t>(Count(runs, TRunStatus::OtherCase)));
    json.Key("incomplete").Integer(static_cast<int64_t>(Count(runs, TRunStatus::Incomplete)));
    json.Key("evacuationTime");
    if (!s) {
        json.Null().EndObject().EndObject();
        return json.Text() + "\n";
    }
    json.BeginObject().Key("min").Number(s->Min).Key("mean").Number(s->Mean);
    json.Key("median").Number(s->Median).Key("p95").Number(s->P95).Key("max").Number(s->Max);
    json.EndObject();
    json.Key("p95Rule").BeginObject().Key("rule").String(kRuleText);
    json.Key("rank").Integer(static_cast<int64_t>(s->P95Rank)).EndObject();
    json.Key("upperBound95").BeginObject().Key("value").Number(s->Bound);
    json.Key("rank").Integer(static_cast<int64_t>(s->BoundRank));
    json.Key("confidence").Number(s->BoundConfidence).Key("reached").Bool(s->BoundReached);
    json.EndObject().Key("runningP95").BeginArray();
    for (std::size_t i = 0; i < s->N; ++i) {
        json.BeginObject().Key("runs").Integer(static_cast<int64_t>(i + 1));
        json.Key("p95").Number(s->Running[i]);
        json.Key("change10").Number(RelativeChange(s->Running, i)).EndObject();
    }
    json.EndArray().EndObject().Key("exits").BeginArray();
    for (const TExitOverRuns& e : ExitsOverRuns(runs)) {
        json.BeginObject().Key("name").String(e.Name).Key("deck").Integer(e.Deck);
        json.Key("cells").Integer(static_cast<int64_t>(e.Cells));
        json.Key("runs").Integer(static_cast<int64_t>(e.Runs));
        json.Key("meanShare").Number(e.MeanShare).Key("maxShare").Number(e.MaxShare);
        json.Key("p95LastExitTime").Number(e.P95Last).EndObject();
    }
    json.EndArray().EndObject();
    return json.Text() + "\n";
}

}  // namespace orlex::stats
