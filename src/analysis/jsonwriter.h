// A small writer of compact JSON text, and the analysis as a JSON object.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "result.h"

namespace orlex {

// Writes values in order; the caller keeps objects and arrays balanced. Commas are
// put in by the writer.
class TJsonWriter {
public:
    TJsonWriter& BeginObject();
    TJsonWriter& EndObject();
    TJsonWriter& BeginArray();
    TJsonWriter& EndArray();
    TJsonWriter& Key(std::string_view key);
    TJsonWriter& String(std::string_view text);
    TJsonWriter& Number(double value);  // shortest text that reads back the same; null for NaN/inf
    TJsonWriter& Integer(int64_t value);
    TJsonWriter& Bool(bool value);
    TJsonWriter& Null();
    TJsonWriter& Number(const std::optional<double>& value) {
        return value ? Number(*value) : Null();
    }
    TJsonWriter& Integers(const std::vector<int>& values);

    const std::string& Text() const { return Text_; }

private:
    void Separate();
    std::string Text_;
    bool First_ = true;  // nothing written yet at the current level
    bool AfterKey_ = false;
};

// What the analysis object says about where the result comes from: the analysed
// file and the captions of its decks. The result itself knows neither.
struct TAnalysisJsonSource {
    std::string File;                   // the path as given; empty: unknown (null)
    std::vector<std::string> Captions;  // by deck (0-based); missing ones are ""
};

// Writes the analysis as one object (the "analysis" object); "density" and
// "usagePerDeck" are null when the result has no density maps. Besides the figures
// it holds "file" and "fileName", "deckCaptions" (by deck), "exitTimePerPerson" (by
// person number - 1, in seconds, null for a track cut by the end of the file), and
// a "deckCaption" next to every "deck". With exits and measurements it also holds
// "flowWindow", "exits", "lines", "areas" (each point's "t" is the simulated time)
// and "clearTimes" (per deck: "lastStep" occupied, "time" when it is clear).
void WriteAnalysisJson(TJsonWriter& json, const TAnalysisResult& result,
                       const TAnalysisJsonSource& source = {});
// The analysis object as JSON text.
std::string AnalysisJson(const TAnalysisResult& result, const TAnalysisJsonSource& source = {});

}  // namespace orlex
