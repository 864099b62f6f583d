// Reading the runs, holding them against the case, and the statistics over them.
#include "runset.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <numeric>
#include <set>
#include <thread>
#include <tuple>

#include "analysis.h"
#include "logfile.h"
#include "result.h"
#include "runstats.h"

namespace orlex::stats {

namespace {

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

// Sets every run's Status and LeftOut against the case alone.
void ApplyCaseKey(std::vector<TRunSummary>& runs, TCaseChoice& choice) {
    for (TRunSummary& run : runs) {
        run.LeftOut.clear();
        if (!run.Ok) {
            run.Status = TRunStatus::Failed;
            continue;
        }
        if (choice.Mode == TCaseMode::Any) {
            run.Status = TRunStatus::Used;
            continue;
        }
        if (!choice.Key) {
            choice.Key = run.Case;
            choice.From = run.File;
        }
        const std::string difference = CaseDifference(run.Case, *choice.Key);
        run.Status = difference.empty() ? TRunStatus::Used : TRunStatus::OtherCase;
        if (!difference.empty()) run.LeftOut = "another case: " + difference;
    }
}

}  // namespace

double CellSizeInEffect(const std::optional<double>& given, const TLogFile1& project,
                        double setting) {
    if (given) return *given;
    if (project.Source.Known && project.Source.CellSize > 0) return project.Source.CellSize;
    return setting;
}

TRunSummary AnalyseFile(const std::string& path, const TAnalysisSettings& given,
                        const TRunOpening& opening) {
    TRunSummary run;
    run.File = path;
    TLogFile1 project("Deck");
    TCollectingMessages messages;
    TNullProgress progress;
    const bool read = opening.Open ? opening.Open(path, project, progress, messages)
                                   : project.LoadFromFile(path, progress, messages);
    run.Warnings = messages.Warnings;
    if (!read || !messages.Errors.empty()) {
        run.Error = messages.Errors.empty() ? "cannot be read" : messages.Errors.front();
        // The run is named beside its reason already.
        if (run.Error.rfind(path + " ", 0) == 0) run.Error.erase(0, path.size() + 1);
        return run;
    }
    TAnalysisSettings settings = given;
    settings.CellSize = CellSizeInEffect(
        opening.CellSizeGiven ? std::optional<double>(given.CellSize) : std::nullopt, project,
        given.CellSize);
    run.CellSize = settings.CellSize;
    const auto result = TEvacuationAnalysis(project, settings, {true, 1}).Run();
    if (!result || !result->ExitStats) {
        run.Error =
            result && result->CutTracks > 0 ? "holds no complete track" : "holds no persons";
        return run;
    }
    run.Ok = true;
    run.Case = CaseKeyOf(project);
    run.Persons = project.PersonCount();
    run.CutTracks = result->CutTracks;
    // Of an incomplete run only the largest known exit time, for --include-incomplete.
    run.EvacuationTime = result->Complete() ? result->EvacuationTime : result->ExitStats->Max;
    run.P95 = result->ExitStats->P95;
    run.CongestedCells = static_cast<int>(result->Congested.size());
    for (const TExitResult& e : result->Exits)
        run.Exits.push_back({e.Name, e.Deck, e.Cells, e.Persons(), e.Times.back()});
    run.Saved = static_cast<int>(std::count_if(result->ExitTimes.begin(), result->ExitTimes.end(),
                                               [](double t) { return !std::isnan(t); }));
    for (int z = 0; z < project.DeckCount(); ++z) {
        run.Decks.push_back(
            {project.GetDeckCaption(z), project.Decks[static_cast<std::size_t>(z)].CellCount});
    }
    run.Columns = result->Columns;
    run.Rows = result->Rows;
    run.StepsPerSecond = result->StepsPerSecond;
    return run;
}

std::vector<TRunSummary> AnalyseFiles(const std::vector<std::string>& files,
                                      const TAnalysisSettings& settings, int threads,
                                      TRunSetControl* control, const TRunOpening& opening) {
    std::vector<TRunSummary> runs(files.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < files.size();) {
            if (control && control->Cancel.load()) {
                runs[i].File = files[i];
                runs[i].Error = "cancelled";
                continue;
            }
            runs[i] = AnalyseFile(files[i], settings, opening);
            if (control) control->Done.fetch_add(1);
        }
    };
    const int count = std::min<int>(AnalysisThreads(threads), static_cast<int>(files.size()));
    std::vector<std::jthread> helpers;
    for (int t = 1; t < count; ++t) helpers.emplace_back(work);
    work();
    return runs;
}

std::string IncompleteReason(const TRunSummary& run) {
    return "incomplete: " + std::to_string(run.CutTracks) + " of " + std::to_string(run.Persons) +
           " tracks cut by the end of the file or missing";
}

std::string RunNote(const TRunSummary& run) {
    switch (run.Status) {
        case TRunStatus::Failed:
            return "cannot be used: " + run.Error;
        case TRunStatus::OtherCase:
        case TRunStatus::Incomplete:
            return "left out: " + run.LeftOut;
        case TRunStatus::Used:
            break;
    }
    if (run.CutTracks == 0) return {};
    return IncompleteReason(run) + "; counted with its largest known exit time";
}

void ApplyCase(std::vector<TRunSummary>& runs, TCaseChoice& choice) {
    ApplyCaseKey(runs, choice);
    for (TRunSummary& run : runs) {
        if (run.Status != TRunStatus::Used || run.CutTracks == 0 || choice.IncludeIncomplete)
            continue;
        run.Status = TRunStatus::Incomplete;
        run.LeftOut = IncompleteReason(run);
    }
}

std::optional<TRunStatistics> OverRuns(const std::vector<TRunSummary>& runs) {
    std::vector<double> times;
    for (const TRunSummary& run : runs) {
        if (run.Status == TRunStatus::Used) times.push_back(*run.EvacuationTime);
    }
    if (times.empty()) return std::nullopt;
    TRunStatistics s;
    s.N = times.size();
    s.Running = RunningPercentile(times, 95);
    s.Mean = std::accumulate(times.begin(), times.end(), 0.0) / static_cast<double>(s.N);
    std::sort(times.begin(), times.end());
    s.Min = times.front();
    s.Max = times.back();
    s.Median = *Median(times);
    s.P95Rank = PercentileRank(s.N, 95);
    s.P95 = times[s.P95Rank - 1];
    const TPercentileBound bound = UpperPercentileBound(s.N, 95, 0.95);
    s.BoundRank = bound.Rank;
    s.Bound = times[bound.Rank - 1];
    s.BoundConfidence = bound.Confidence;
    s.BoundReached = bound.Reached;
    return s;
}

bool ChooseCaseFile(TCaseChoice& choice, const std::string& caseFile,
                    const TAnalysisSettings& settings, TRunSummary& reference, std::string& why,
                    const TRunOpening& opening) {
    reference = AnalyseFile(caseFile, settings, opening);
    if (!reference.Ok) {
        why = "cannot be used: " + reference.Error;
        return false;
    }
    choice.Key = reference.Case;
    choice.From = caseFile;
    return true;
}

TRunSet AnalyseRunSet(const TRunSetRequest& request, TRunSetControl* control) {
    TRunSet set;
    set.Choice.Mode = request.Mode;
    set.Choice.IncludeIncomplete = request.IncludeIncomplete;
    if (request.Mode == TCaseMode::File &&
        !ChooseCaseFile(set.Choice, request.CaseFile, request.Settings, set.CaseRun, set.CaseError,
                        request.Opening))
        return set;
    set.Runs =
        AnalyseFiles(request.Files, request.Settings, request.Threads, control, request.Opening);
    if (control && control->Cancel.load()) {
        set.Cancelled = true;
        return set;
    }
    ApplyCase(set.Runs, set.Choice);
    if (request.Mode != TCaseMode::File) {
        for (const TRunSummary& run : set.Runs) {
            const bool describes = request.Mode == TCaseMode::Any ? run.Status == TRunStatus::Used
                                                                  : run.File == set.Choice.From;
            if (run.Ok && describes) {
                set.CaseRun = run;
                break;
            }
        }
    }
    set.Statistics = OverRuns(set.Runs);
    return set;
}

std::string Ordinal(std::size_t n) {
    const std::size_t tens = n % 100;
    const std::size_t ones = n % 10;
    const char* suffix = (tens >= 11 && tens <= 13) ? "th"
                         : ones == 1                ? "st"
                         : ones == 2                ? "nd"
                         : ones == 3                ? "rd"
                                                    : "th";
    return std::to_string(n) + suffix;
}

std::string PercentCut(double share) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f %%", std::floor(share * 1000.0 + 1e-9) / 10.0);
    return buffer;
}

std::string ChangeText(const std::optional<double>& change) {
    if (!change) return "-";
    if (*change == 0) return "0.00 %";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%+.2f %%", *change * 100.0);
    return buffer;
}

std::vector<TExitOverRuns> ExitsOverRuns(const std::vector<TRunSummary>& runs) {
    // Every exit of a used run, joined with those it shares a cell with.
    struct TAt {
        std::size_t Run, Exit;
    };
    std::vector<TAt> all;
    std::vector<std::size_t> parent;
    const auto root = [&](std::size_t i) {
        while (parent[i] != i) i = parent[i] = parent[parent[i]];
        return i;
    };
    std::map<std::tuple<int, int, int>, std::size_t> owner;
    std::size_t used = 0;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        if (runs[r].Status != TRunStatus::Used) continue;
        ++used;
        for (std::size_t e = 0; e < runs[r].Exits.size(); ++e) {
            const std::size_t id = all.size();
            all.push_back({r, e});
            parent.push_back(id);
            for (const TCellPlace& c : runs[r].Exits[e].Cells) {
                const auto [it, fresh] = owner.try_emplace({c.Deck, c.Row, c.Column}, id);
                // The earlier exit stays the root, so groups keep their first appearance.
                if (!fresh) {
                    const std::size_t a = root(it->second), b = root(id);
                    if (a != b) parent[std::max(a, b)] = std::min(a, b);
                }
            }
        }
    }
    std::map<std::size_t, std::size_t> groupOf;  // root -> index in the result
    std::vector<TExitOverRuns> exits;
    std::vector<std::map<std::size_t, std::pair<int, double>>> perRun;  // run -> persons, last
    std::vector<std::set<std::tuple<int, int, int>>> cells;
    for (std::size_t id = 0; id < all.size(); ++id) {
        const std::size_t g = root(id);
        auto [it, fresh] = groupOf.try_emplace(g, exits.size());
        const TRunExit& e = runs[all[id].Run].Exits[all[id].Exit];
        if (fresh) {
            exits.push_back({e.Name, e.Deck, 0, 0, 0, 0, std::nullopt});
            perRun.emplace_back();
            cells.emplace_back();
        }
        auto& [persons, last] = perRun[it->second][all[id].Run];
        persons += e.Persons;
        last = std::max(last, e.Last);
        for (const TCellPlace& c : e.Cells) cells[it->second].insert({c.Deck, c.Row, c.Column});
    }
    for (std::size_t g = 0; g < exits.size(); ++g) {
        TExitOverRuns& x = exits[g];
        x.Cells = cells[g].size();
        std::vector<double> lasts;
        double shares = 0;
        for (const auto& [r, figures] : perRun[g]) {
            const int persons = runs[r].Persons;
            const double share = persons > 0 ? static_cast<double>(figures.first) / persons : 0;
            shares += share;
            x.MaxShare = std::max(x.MaxShare, share);
            lasts.push_back(figures.second);
        }
        x.Runs = perRun[g].size();
        x.MeanShare = used > 0 ? shares / static_cast<double>(used) : 0;
        std::sort(lasts.begin(), lasts.end());
        x.P95Last = RankPercentile(lasts, 95.0);
    }
    return exits;
}

}  // namespace orlex::stats
