#include "pathfinder.h"

#include <charconv>
#include <cmath>
#include <unordered_map>

#include "csvrow.h"
#include "mappedfile.h"

namespace orlex::import {

namespace {

// Metres in one unit of the units row.
double ScaleOf(const std::string& unit) {
    if (unit == "m" || unit.empty()) return 1;
    if (unit == "cm") return 0.01;
    if (unit == "mm") return 0.001;
    if (unit == "ft") return 0.3048;
    return 0;
}

}  // namespace

bool LooksLikePathfinder(std::string_view head) {
    const std::size_t eol = head.find('\n');
    std::vector<std::string> fields;
    if (!SplitCsvRow(head.substr(0, eol), fields) || fields.size() < 5) return false;
    return fields[0] == "t" && head.substr(0, 3) == "\"t\"";
}

TTrajectorySet ParsePathfinderText(std::string_view text, const std::string& name) {
    TTrajectorySet set;
    set.Source = name;
    TLineReader lines(text);
    std::string_view line;
    std::vector<std::string> fields;
    if (!lines.Next(line) || !SplitCsvRow(line, fields))
        throw TImportError(name + ", row 1: no header row");
    enum { kT, kId, kX, kY, kZ, kCount };
    static const char* const kNames[kCount] = {"t", "id", "x", "y", "z"};
    TNumberTable table(name, fields, {kNames, kNames + kCount}, false);
    const std::size_t width = table.Width();
    std::size_t column[kCount];
    for (int c = 0; c < kCount; ++c) column[c] = table.Column(c);
    if (!lines.Next(line) || !SplitCsvRow(line, fields) || fields.size() != width)
        table.Fail(2, "the units row is missing or has not " + std::to_string(width) + " fields");
    double scale[kCount] = {1, 1, 1, 1, 1};
    for (const int c : {kX, kY, kZ}) {
        scale[c] = ScaleOf(fields[column[c]]);
        if (scale[c] == 0)
            table.Fail(2, "the unit \"" + fields[column[c]] + "\" of " + kNames[c] +
                              " is none of m, cm, mm, ft");
    }
    if (fields[column[kT]] != "s" && !fields[column[kT]].empty())
        table.Fail(2, "the unit of t is \"" + fields[column[kT]] + "\", not s");

    TTimedSamples samples(set);
    double value[kCount];
    while (lines.Next(line)) {
        const long long row = lines.Number();
        if (!table.Read(line, row, false, value)) continue;
        if (std::abs(value[kT]) > 1e9) table.Fail(row, "t is out of range");
        if (!IsWholeId(value[kId])) table.Fail(row, "id is not a whole number");
        samples.Add(static_cast<int64_t>(value[kId]), value[kT],
                    {0, value[kX] * scale[kX], value[kY] * scale[kY], value[kZ] * scale[kZ]});
    }
    if (samples.Empty()) throw TImportError(name + ": no occupant rows found");
    samples.Finish();
    return set;
}

TTrajectorySet ReadPathfinderFile(const std::string& path) {
    const TMappedFile file(path);
    return ParsePathfinderText(file.View(), path);
}

}  // namespace orlex::import
