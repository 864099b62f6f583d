// Summaries (shards) of orlex-stats: written by --summary, read back by --merge.
#include <nlohmann/json.hpp>

#include "format.h"
#include "jsonwriter.h"
#include "stats.h"

namespace orlex::stats {

namespace {

using nlohmann::json;

constexpr const char* kFormatKey = "orlexStatsSummary";
constexpr int kFormatVersion = 1;

const char* ModeName(TCaseMode mode) {
    return mode == TCaseMode::Any ? "any" : mode == TCaseMode::File ? "file" : "first";
}

// A field that is wrong, named by its path in the summary.
struct TBadField {
    std::string Path;
    std::string What;
};

std::string Join(const std::string& path, const char* key) {
    return path.empty() ? std::string(key) : path + "." + key;
}

const json& Member(const json& object, const std::string& path, const char* key) {
    if (!object.is_object()) throw TBadField{path, "an object is expected"};
    const auto it = object.find(key);
    if (it == object.end()) throw TBadField{Join(path, key), "is missing"};
    return *it;
}

double NumberAt(const json& object, const std::string& path, const char* key) {
    const json& value = Member(object, path, key);
    if (!value.is_number()) throw TBadField{Join(path, key), "a number is expected"};
    return value.get<double>();
}

int IntegerAt(const json& object, const std::string& path, const char* key, int64_t min) {
    const json& value = Member(object, path, key);
    const bool fits = value.is_number_unsigned()  ? value.get<uint64_t>() <= INT32_MAX
                      : value.is_number_integer() ? value.get<int64_t>() <= INT32_MAX
                                                  : false;
    if (!fits || value.get<int64_t>() < min) {
        throw TBadField{Join(path, key), "a whole number from " + std::to_string(min) +
                                             " to 2147483647 is expected"};
    }
    return static_cast<int>(value.get<int64_t>());
}

std::string TextAt(const json& object, const std::string& path, const char* key) {
    const json& value = Member(object, path, key);
    if (!value.is_string()) throw TBadField{Join(path, key), "a text is expected"};
    return value.get<std::string>();
}

TCaseKey CaseAt(const json& object, const std::string& path, const char* key) {
    const json& value = Member(object, path, key);
    const std::string at = Join(path, key);
    TCaseKey c;
    c.XMax = IntegerAt(value, at, "xMax", INT32_MIN);
    c.YMax = IntegerAt(value, at, "yMax", INT32_MIN);
    c.ZMax = IntegerAt(value, at, "zMax", INT32_MIN);
    c.VMax = IntegerAt(value, at, "vMax", INT32_MIN);
    c.PMax = IntegerAt(value, at, "pMax", INT32_MIN);
    if (!ParseCellsText(TextAt(value, at, "cells"), c.Cells)) {
        throw TBadField{at + ".cells", "16 hexadecimal digits are expected"};
    }
    return c;
}

TRunSummary RunAt(const json& entry, const std::string& path) {
    TRunSummary run;
    run.File = TextAt(entry, path, "file");
    const json& ok = Member(entry, path, "ok");
    if (!ok.is_boolean()) throw TBadField{path + ".ok", "true or false is expected"};
    run.Ok = ok.get<bool>();
    const json& warnings = Member(entry, path, "warnings");
    if (!warnings.is_array()) throw TBadField{path + ".warnings", "an array is expected"};
    for (const json& w : warnings) {
        if (!w.is_string()) throw TBadField{path + ".warnings", "texts are expected"};
        run.Warnings.push_back(w.get<std::string>());
    }
    if (!run.Ok) {
        run.Error = TextAt(entry, path, "error");
        return run;
    }
    run.Case = CaseAt(entry, path, "case");
    run.Persons = IntegerAt(entry, path, "persons", 0);
    // Summaries written before runs could be incomplete hold complete runs only.
    if (entry.contains("cutTracks")) run.CutTracks = IntegerAt(entry, path, "cutTracks", 0);
    run.EvacuationTime = NumberAt(entry, path, "evacuationTime");
    run.P95 = NumberAt(entry, path, "p95ExitTime");
    run.CongestedCells = IntegerAt(entry, path, "congestedCells", 0);
    // Summaries written before exits were found hold none.
    if (entry.contains("exits")) {
        const json& exits = entry["exits"];
        if (!exits.is_array()) throw TBadField{path + ".exits", "an array is expected"};
        for (std::size_t i = 0; i < exits.size(); ++i) {
            const std::string at = path + ".exits[" + std::to_string(i) + "]";
            TRunExit e;
            e.Name = TextAt(exits[i], at, "name");
            e.Deck = IntegerAt(exits[i], at, "deck", 0);
            e.Persons = IntegerAt(exits[i], at, "persons", 0);
            e.Last = NumberAt(exits[i], at, "last");
            const json& cells = Member(exits[i], at, "cells");
            if (!cells.is_array()) throw TBadField{at + ".cells", "an array is expected"};
            for (const json& c : cells) {
                if (!c.is_array() || c.size() != 2 || !c[0].is_number_integer() ||
                    !c[1].is_number_integer())
                    throw TBadField{at + ".cells",
                                    "pairs of whole numbers [row, column] are expected"};
                e.Cells.push_back({e.Deck, c[0].get<int>(), c[1].get<int>()});
            }
            run.Exits.push_back(std::move(e));
        }
    }
    return run;
}

}  // namespace

std::string SummaryJson(const std::vector<TRunSummary>& runs, const TCaseChoice& choice,
                        const TAnalysisSettings& settings) {
    TJsonWriter out;
    out.BeginObject().Key(kFormatKey).Integer(kFormatVersion);
    out.Key("settings").BeginObject().Key("cellSize").Number(settings.CellSize);
    out.Key("window").Integer(settings.Window).Key("densityLimit").Number(settings.DensityLimit);
    out.Key("congestionShare").Number(settings.CongestionShare);
    out.Key("flowWindow").Number(settings.FlowWindow).EndObject();
    out.Key("caseMode").String(ModeName(choice.Mode)).Key("case");
    if (choice.Key && choice.Mode != TCaseMode::Any) {
        WriteCaseJson(out, *choice.Key);
    } else {
        out.Null();
    }
    out.Key("caseFrom").String(choice.From).Key("runs").BeginArray();
    for (const TRunSummary& run : runs) {
        out.BeginObject().Key("file").String(run.File).Key("ok").Bool(run.Ok);
        if (run.Ok) {
            out.Key("case");
            WriteCaseJson(out, run.Case);
            out.Key("persons").Integer(run.Persons);
            out.Key("cutTracks").Integer(run.CutTracks);
            out.Key("evacuationTime").Number(run.EvacuationTime);
            out.Key("p95ExitTime").Number(run.P95);
            out.Key("congestedCells").Integer(run.CongestedCells);
            out.Key("exits").BeginArray();
            for (const TRunExit& e : run.Exits) {
                out.BeginObject().Key("name").String(e.Name).Key("deck").Integer(e.Deck);
                out.Key("cells").BeginArray();
                for (const TCellPlace& c : e.Cells)
                    out.BeginArray().Integer(c.Row).Integer(c.Column).EndArray();
                out.EndArray().Key("persons").Integer(e.Persons).Key("last").Number(e.Last);
                out.EndObject();
            }
            out.EndArray();
            // For the reader only: a merge decides the case afresh.
            out.Key("used").Bool(run.Status == TRunStatus::Used);
            if (!run.LeftOut.empty()) out.Key("leftOut").String(run.LeftOut);
        } else {
            out.Key("error").String(run.Error);
        }
        out.Key("warnings").BeginArray();
        for (const std::string& w : run.Warnings) out.String(w);
        out.EndArray().EndObject();
    }
    out.EndArray().EndObject();
    return out.Text() + "\n";
}

TShard ReadShard(const std::string& text) {
    TShard shard;
    const json root = json::parse(text, nullptr, false);
    if (root.is_discarded()) {
        shard.Error = "not JSON";
        return shard;
    }
    try {
        if (!root.is_object() || !root.contains(kFormatKey)) {
            throw TBadField{
                "", "not a summary of orlex-stats (no \"" + std::string(kFormatKey) + "\")"};
        }
        if (IntegerAt(root, "", kFormatKey, 0) != kFormatVersion) {
            throw TBadField{kFormatKey,
                            "version " + std::to_string(kFormatVersion) + " is expected"};
        }
        const json& settings = Member(root, "", "settings");
        shard.Settings.CellSize = NumberAt(settings, "settings", "cellSize");
        shard.Settings.Window = IntegerAt(settings, "settings", "window", 0);
        shard.Settings.DensityLimit = NumberAt(settings, "settings", "densityLimit");
        shard.Settings.CongestionShare = NumberAt(settings, "settings", "congestionShare");
        if (settings.contains("flowWindow"))
            shard.Settings.FlowWindow = NumberAt(settings, "settings", "flowWindow");
        if (const auto problem = ValidateAnalysisSettings(shard.Settings)) {
            throw TBadField{"settings", problem->Message};
        }
        const std::string mode = TextAt(root, "", "caseMode");
        if (mode == "any") {
            shard.Choice.Mode = TCaseMode::Any;
        } else if (mode == "file" || mode == "first") {
            shard.Choice.Mode = mode == "file" ? TCaseMode::File : TCaseMode::First;
            if (!Member(root, "", "case").is_null()) shard.Choice.Key = CaseAt(root, "", "case");
            if (mode == "file" && !shard.Choice.Key) throw TBadField{"case", "is missing"};
        } else {
            throw TBadField{"caseMode", "\"first\", \"file\" or \"any\" is expected"};
        }
        shard.Choice.From = TextAt(root, "", "caseFrom");
        const json& runs = Member(root, "", "runs");
        if (!runs.is_array()) throw TBadField{"runs", "an array is expected"};
        shard.Runs.reserve(runs.size());
        for (std::size_t i = 0; i < runs.size(); ++i) {
            shard.Runs.push_back(RunAt(runs[i], "runs[" + std::to_string(i) + "]"));
        }
    } catch (const TBadField& bad) {
        shard.Error = bad.Path.empty() ? bad.What : bad.Path + ": " + bad.What;
    }
    return shard;
}

}  // namespace orlex::stats
