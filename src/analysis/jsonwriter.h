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

// Writes the analysis as one object (the "analysis" object); "density" and
// "usagePerDeck" are null when the result has no density maps.
void WriteAnalysisJson(TJsonWriter& json, const TAnalysisResult& result);
// The analysis object as JSON text.
std::string AnalysisJson(const TAnalysisResult& result);

}  // namespace orlex
