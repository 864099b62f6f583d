#include "crowdit.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "csvrow.h"
#include "gzipdata.h"
#include "mappedfile.h"

namespace orlex::import {

namespace {

[[noreturn]] void Fail(const std::string& name, long long row, const std::string& what) {
    throw TImportError(name + ", row " + std::to_string(row) + ": " + what);
}

}  // namespace

std::string CrowditLower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool CrowditNumber(std::string_view text, double& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

bool LooksLikeCrowdit(std::string_view head) {
    const std::size_t eol = std::min(head.find('\n'), head.size());
    std::vector<std::string> fields;
    if (!SplitCsvRow(head.substr(0, eol), fields) || fields.size() < 4) return false;
    return CrowditLower(fields[0]) == "time" && CrowditLower(fields[1]) == "pedid";
}

TTrajectorySet ParseCrowditText(std::string_view text, const std::string& name) {
    TTrajectorySet set;
    set.Source = name;
    TLineReader lines(text);
    std::string_view line;
    std::vector<std::string> fields;
    if (!lines.Next(line) || !SplitCsvRow(line, fields))
        throw TImportError(name + ", row 1: no header row (time,pedID,posX,posY)");
    enum { kTime, kId, kX, kY, kCount };
    static const char* const kNames[kCount] = {"time", "pedID", "posX", "posY"};
    std::size_t column[kCount];
    for (int c = 0; c < kCount; ++c) {
        column[c] = fields.size();
        for (std::size_t k = 0; k < fields.size(); ++k)
            if (CrowditLower(fields[k]) == CrowditLower(kNames[c])) column[c] = k;
        if (column[c] == fields.size())
            Fail(name, 1, "the header has no column \"" + std::string(kNames[c]) + "\"");
    }
    const std::size_t width = fields.size();
    TTimedSamples samples(set);
    while (lines.Next(line)) {
        const long long row = lines.Number();
        if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
        if (!SplitCsvRow(line, fields)) Fail(name, row, "a quoted field is not closed");
        if (fields.size() < width)
            Fail(name, row,
                 std::to_string(fields.size()) + " fields where the header has " +
                     std::to_string(width));
        double value[kCount];
        for (int c = 0; c < kCount; ++c)
            if (!CrowditNumber(fields[column[c]], value[c]))
                Fail(name, row,
                     std::string(kNames[c]) + " is not a number (\"" + fields[column[c]] + "\")");
        if (std::abs(value[kTime]) > 1e9) Fail(name, row, "the time is out of range");
        if (!IsWholeId(value[kId])) Fail(name, row, "pedID is not a whole number");
        samples.Add(static_cast<int64_t>(value[kId]), value[kTime], {0, value[kX], value[kY], 0});
    }
    if (samples.Empty()) throw TImportError(name + ": no trajectory rows found");
    samples.Finish();
    return set;
}

TTrajectorySet ReadCrowditFile(const std::string& path) {
    const TMappedFile file(path);
    if (!IsGzip(file.View())) return ParseCrowditText(file.View(), path);
    const std::string text = Gunzip(file.View(), path);
    return ParseCrowditText(text, path);
}

}  // namespace orlex::import
