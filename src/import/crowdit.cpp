#include "crowdit.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <pugixml.hpp>
#include <unordered_map>

#include "csvrow.h"
#include "gzipdata.h"
#include "mappedfile.h"
#include "xmlload.h"

namespace orlex::import {

namespace {

[[noreturn]] void Fail(const std::string& name, long long row, const std::string& what) {
    throw TImportError(name + ", row " + std::to_string(row) + ": " + what);
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool Number(std::string_view text, double& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

}  // namespace

bool LooksLikeCrowdit(std::string_view head) {
    const std::size_t eol = std::min(head.find('\n'), head.size());
    std::vector<std::string> fields;
    if (!SplitCsvRow(head.substr(0, eol), fields) || fields.size() < 4) return false;
    return Lower(fields[0]) == "time" && Lower(fields[1]) == "pedid";
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
            if (Lower(fields[k]) == Lower(kNames[c])) column[c] = k;
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
            if (!Number(fields[column[c]], value[c]))
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

TGeometry ParseCrowditFloor(std::string_view text, const std::string& name) {
    pugi::xml_document doc;
    LoadXml(doc, text, name);
    TGeometry geometry;
    int skipped = 0;
    for (const pugi::xpath_node& found : doc.select_nodes("//*")) {
        const pugi::xml_node wall = found.node();
        if (Lower(wall.name()) != "wall") continue;
        std::string wkt = "LINESTRING(";
        int points = 0;
        for (const pugi::xml_node point : wall.children()) {
            const pugi::xml_attribute x = point.attribute("x"), y = point.attribute("y");
            if (!x || !y) continue;
            double px, py;
            if (!Number(x.value(), px) || !Number(y.value(), py) || std::abs(px) > 1e7 ||
                std::abs(py) > 1e7)
                throw TImportError(name + ": a point of a wall is not a pair of numbers (\"" +
                                   std::string(x.value()) + "\", \"" + y.value() + "\")");
            char number[80];
            std::snprintf(number, sizeof number, "%s%.9g %.9g", points ? ", " : "", px, py);
            wkt += number;
            ++points;
        }
        if (points < 2) {
            ++skipped;
            continue;
        }
        geometry.Walls.push_back(wkt + ")");
    }
    if (geometry.Walls.empty())
        throw TImportError(name + ": no walls (elements \"wall\" with points x, y)");
    if (skipped > 0)
        geometry.Warnings.push_back(name + ": " + std::to_string(skipped) +
                                    " walls of fewer than two points are left out");
    return geometry;
}

}  // namespace orlex::import
