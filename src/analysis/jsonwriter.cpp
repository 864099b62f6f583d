#include "jsonwriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "osfile.h"

namespace orlex {

namespace {

// A deck's caption as the source gives it; "" when it has none.
std::string_view CaptionOf(const TAnalysisJsonSource& source, int z) {
    return z >= 0 && z < static_cast<int>(source.Captions.size()) ? source.Captions[z]
                                                                  : std::string_view();
}

// "file", "fileName" and "deckCaptions": one caption per deck of the result.
void WriteSource(TJsonWriter& json, const TAnalysisResult& r, const TAnalysisJsonSource& source) {
    json.Key("file");
    if (source.File.empty()) {
        json.Null().Key("fileName").Null();
    } else {
        json.String(source.File).Key("fileName");
        json.String(Utf8Of(PathOf(source.File).filename()));
    }
    json.Key("deckCaptions").BeginArray();
    for (int z = 0; z < r.Decks; ++z) json.String(CaptionOf(source, z));
    json.EndArray();
}

// The exits, lines, areas and clear times, when the analysis made them.
void WriteMeasurements(TJsonWriter& json, const TAnalysisResult& r,
                       const TAnalysisJsonSource& source) {
    json.Key("flowWindow").Number(r.Settings.FlowWindow);
    json.Key("exits").BeginArray();
    for (const TExitResult& e : r.Exits) {
        json.BeginObject().Key("name").String(e.Name).Key("deck").Integer(e.Deck);
        json.Key("deckCaption").String(CaptionOf(source, e.Deck));
        json.Key("x").Number(e.X).Key("y").Number(e.Y);
        json.Key("cells").BeginArray();
        for (const TCellPlace& c : e.Cells)
            json.BeginArray().Integer(c.Row).Integer(c.Column).EndArray();
        json.EndArray();
        json.Key("width").Number(e.Width).Key("persons").Integer(e.Persons());
        json.Key("first").Number(e.Times.empty() ? std::nullopt : std::optional(e.Times.front()));
        json.Key("last").Number(e.Times.empty() ? std::nullopt : std::optional(e.Times.back()));
        json.Key("peakFlow").Number(e.PeakFlow).Key("peakSpecificFlow").Number(e.PeakSpecificFlow);
        json.Key("aboveLimit").Bool(e.AboveLimit()).EndObject();
    }
    json.EndArray();
    json.Key("lines").BeginArray();
    for (const TLineResult& l : r.Lines) {
        json.BeginObject().Key("name").String(l.Name).Key("deck").Integer(l.Deck);
        json.Key("deckCaption").String(CaptionOf(source, l.Deck)).Key("length").Number(l.Length);
        json.Key("crossingTimes").BeginArray();
        for (const double t : l.CrossingTimes) json.Number(t);
        json.EndArray();
        json.Key("peakFlow").Number(l.PeakFlow).Key("peakSpecificFlow").Number(l.PeakSpecificFlow);
        json.EndObject();
    }
    json.EndArray();
    json.Key("areas").BeginArray();
    for (const TAreaResult& a : r.Areas) {
        json.BeginObject().Key("name").String(a.Name).Key("deck").Integer(a.Deck);
        json.Key("deckCaption").String(CaptionOf(source, a.Deck)).Key("area").Number(a.Area);
        json.Key("everyStep").Integer(a.EveryStep).Key("series").BeginArray();
        for (std::size_t i = 0; i < a.Count.size(); ++i) {
            json.BeginObject().Key("t").Number(r.TimeOfStep(static_cast<int64_t>(i) * a.EveryStep));
            json.Key("count").Integer(a.Count[i]).Key("density").Number(a.Count[i] / a.Area);
            json.Key("speed").Number(a.Speed[i]);
            // The specific flow of the fundamental diagram: density x speed.
            json.Key("flow").Number(a.Speed[i] ? std::optional(a.Count[i] / a.Area * *a.Speed[i])
                                               : std::nullopt);
            json.EndObject();
        }
        json.EndArray().EndObject();
    }
    json.EndArray();
    json.Key("clearTimes").BeginArray();
    for (std::size_t z = 0; z < r.LastOccupiedSteps.size(); ++z) {
        const int deck = static_cast<int>(z);
        json.BeginObject()
            .Key("deck")
            .Integer(deck)
            .Key("deckCaption")
            .String(CaptionOf(source, deck));
        json.Key("lastStep").Integer(r.LastOccupiedSteps[z]).Key("time").Number(r.ClearTime(deck));
        json.EndObject();
    }
    json.EndArray();
}

}  // namespace

void TJsonWriter::Separate() {
    if (AfterKey_) {
        AfterKey_ = false;
        return;
    }
    if (!First_) Text_ += ',';
    First_ = false;
}

TJsonWriter& TJsonWriter::BeginObject() {
    Separate();
    Text_ += '{';
    First_ = true;
    return *this;
}

TJsonWriter& TJsonWriter::EndObject() {
    Text_ += '}';
    First_ = false;
    return *this;
}

TJsonWriter& TJsonWriter::BeginArray() {
    Separate();
    Text_ += '[';
    First_ = true;
    return *this;
}

TJsonWriter& TJsonWriter::EndArray() {
    Text_ += ']';
    First_ = false;
    return *this;
}

TJsonWriter& TJsonWriter::Key(std::string_view key) {
    String(key);
    Text_ += ':';
    AfterKey_ = true;
    return *this;
}

TJsonWriter& TJsonWriter::String(std::string_view text) {
    Separate();
    Text_ += '"';
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            Text_ += '\\';
            Text_ += ch;
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            Text_ += escape;
        } else {
            Text_ += ch;
        }
    }
    Text_ += '"';
    return *this;
}

TJsonWriter& TJsonWriter::Number(double value) {
    if (!std::isfinite(value)) return Null();
    Separate();
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    Text_.append(buffer, ec == std::errc{} ? end : buffer);
    return *this;
}

TJsonWriter& TJsonWriter::Integer(int64_t value) {
    Separate();
    Text_ += std::to_string(value);
    return *this;
}

TJsonWriter& TJsonWriter::Bool(bool value) {
    Separate();
    Text_ += value ? "true" : "false";
    return *this;
}

TJsonWriter& TJsonWriter::Null() {
    Separate();
    Text_ += "null";
    return *this;
}

TJsonWriter& TJsonWriter::Integers(const std::vector<int>& values) {
    BeginArray();
    for (const int v : values) Integer(v);
    return EndArray();
}

void WriteAnalysisJson(TJsonWriter& json, const TAnalysisResult& r,
                       const TAnalysisJsonSource& source) {
    json.BeginObject();
    WriteSource(json, r, source);
    json.Key("stepsPerSecond").Integer(r.StepsPerSecond);
    json.Key("timeOffset").Integer(r.TimeOffset);
    // An incomplete run has no evacuation time; its exit times are those of the
    // complete tracks.
    json.Key("complete").Bool(r.Complete());
    json.Key("cutTracks").Integer(r.CutTracks);
    // NaN, a track cut by the end of the file, is written as null: unknown.
    json.Key("exitTimePerPerson").BeginArray();
    for (const double t : r.ExitTimes) json.Number(t);
    json.EndArray();
    json.Key("evacuationTime").Number(r.EvacuationTime);
    json.Key("duration").Number(r.Duration);
    json.Key("exitTimes");
    if (r.ExitStats) {
        const TExitStatistics& s = *r.ExitStats;
        json.BeginObject();
        json.Key("min").Number(s.Min).Key("mean").Number(s.Mean).Key("p50").Number(s.P50);
        json.Key("p95").Number(s.P95).Key("max").Number(s.Max);
        json.EndObject();
    } else {
        json.Null();
    }
    // At most kMaxCurvePoints points a curve: a point every curveStepSeconds seconds.
    const TCurveTable curves = r.Curves();
    json.Key("savedPerSecond").Integers(curves.Saved);
    json.Key("occupancyPerSecond").BeginArray();
    for (const auto& deck : curves.Occupancy) json.Integers(deck);
    json.EndArray();
    json.Key("curveStepSeconds").Integer(curves.StepSeconds);
    json.Key("curveRule").String(TCurveTable::kRule);
    if (r.HasMeasurements) WriteMeasurements(json, r, source);
    json.Key("density");
    if (!r.HasDensity) {
        // Curves only (asked so, or grids too large for the maps).
        json.Null().Key("usagePerDeck").Null().EndObject();
        return;
    }
    json.BeginObject();
    json.Key("cellSize").Number(r.Settings.CellSize).Key("window").Integer(r.Settings.Window);
    json.Key("limit").Number(r.Settings.DensityLimit);
    json.Key("share").Number(r.Settings.CongestionShare);
    json.Key("peak");
    if (r.Peak) {
        json.BeginObject()
            .Key("value")
            .Number(r.Peak->Value)
            .Key("deck")
            .Integer(r.Peak->Cell.Deck)
            .Key("deckCaption")
            .String(CaptionOf(source, r.Peak->Cell.Deck));
        json.Key("row").Integer(r.Peak->Cell.Row).Key("column").Integer(r.Peak->Cell.Column);
        json.Key("step").Integer(r.Peak->Step).EndObject();
    } else {
        json.Null();
    }
    json.Key("congested").BeginArray();
    for (const TCongestedCell& c : r.Congested) {
        json.BeginObject().Key("deck").Integer(c.Cell.Deck);
        json.Key("deckCaption").String(CaptionOf(source, c.Cell.Deck));
        json.Key("row").Integer(c.Cell.Row);
        json.Key("column").Integer(c.Cell.Column).Key("secondsAbove").Number(c.SecondsAbove);
        json.EndObject();
    }
    json.EndArray();
    json.Key("congestedCount").Integer(static_cast<int64_t>(r.Congested.size()));
    json.EndObject();
    json.Key("usagePerDeck").BeginArray();
    for (const double u : r.UsagePerDeck) json.Number(u);
    json.EndArray();
    json.EndObject();
}

std::string AnalysisJson(const TAnalysisResult& result, const TAnalysisJsonSource& source) {
    TJsonWriter json;
    WriteAnalysisJson(json, result, source);
    return json.Text();
}

}  // namespace orlex
