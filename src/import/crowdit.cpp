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

bool LooksLikeCrowdit(std::string_view head) {
    const std::size_t eol = std::min(head.find('\n'), head.size());
    std::vector<std::string> fields;
    if (!SplitCsvRow(head.substr(0, eol), fields) || fields.size() < 4) return false;
    return CsvLower(fields[0]) == "time" && CsvLower(fields[1]) == "pedid";
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
    TNumberTable table(name, fields, {"time", "pedID", "posX", "posY"}, true);
    TTimedSamples samples(set);
    double value[kCount];
    while (lines.Next(line)) {
        const long long row = lines.Number();
        if (!table.Read(line, row, true, value)) continue;
        if (std::abs(value[kTime]) > 1e9) table.Fail(row, "the time is out of range");
        if (!IsWholeId(value[kId])) table.Fail(row, "pedID is not a whole number");
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
