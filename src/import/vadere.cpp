#include "vadere.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <numbers>
#include <sstream>
#include <unordered_map>

#include "csvrow.h"
#include "mappedfile.h"

namespace orlex::import {

namespace {

using nlohmann::json;

[[noreturn]] void Fail(const std::string& name, long long line, const std::string& what) {
    throw TImportError(name + ", line " + std::to_string(line) + ": " + what);
}

// The fields of a line split at sep, or at blanks where sep is 0.
void Split(std::string_view line, char sep, std::vector<std::string_view>& out) {
    out.clear();
    std::size_t at = 0;
    if (sep == 0) {
        while (true) {
            at = line.find_first_not_of(" \t", at);
            if (at == std::string_view::npos) return;
            const std::size_t end = std::min(line.find_first_of(" \t", at), line.size());
            out.push_back(line.substr(at, end - at));
            at = end;
        }
    }
    while (true) {
        const std::size_t end = std::min(line.find(sep, at), line.size());
        std::string_view field = line.substr(at, end - at);
        while (!field.empty() && (field.front() == ' ' || field.front() == '"'))
            field.remove_prefix(1);
        while (!field.empty() && (field.back() == ' ' || field.back() == '"'))
            field.remove_suffix(1);
        out.push_back(field);
        if (end == line.size()) return;
        at = end + 1;
    }
}

bool Number(std::string_view text, double& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

// The separator an "#IDXCOL=...,SEP='x'" line names; 0 for blanks.
char SeparatorOf(std::string_view line) {
    const std::size_t at = line.find("SEP=");
    if (at == std::string_view::npos || at + 5 >= line.size()) return 0;
    const char c = line[at + 4] == '\'' || line[at + 4] == '"' ? line[at + 5] : line[at + 4];
    return c == ' ' || c == '\t' ? 0 : c;
}

}  // namespace

bool LooksLikeVadere(std::string_view head) {
    const std::size_t first = head.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return false;
    if (head.substr(first, 7) == "#IDXCOL") return true;
    const std::string_view line = head.substr(first, head.find('\n', first) - first);
    return line.substr(0, 12) == "pedestrianId";
}

TTrajectorySet ParseVadereText(std::string_view text, const std::string& name) {
    TTrajectorySet set;
    set.Source = name;
    TLineReader lines(text);
    std::string_view line;
    char sep = 0;
    std::vector<std::string_view> fields;
    // The header, after the optional "#IDXCOL" line.
    bool header = false;
    while (!header && lines.Next(line)) {
        if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
        if (line.front() == '#') {
            sep = SeparatorOf(line);
            continue;
        }
        Split(line, sep, fields);
        header = true;
    }
    if (!header) throw TImportError(name + ": no header row (pedestrianId simTime ...)");
    const long long headerLine = lines.Number();
    enum { kId, kTime, kEndTime, kStartX, kStartY, kEndX, kEndY, kX, kY, kCount };
    static const char* const kNames[kCount] = {
        "pedestrianId", "simTime", "endTime", "startX", "startY", "endX", "endY", "x", "y"};
    std::size_t column[kCount];
    for (int c = 0; c < kCount; ++c) {
        column[c] = fields.size();
        for (std::size_t k = 0; k < fields.size(); ++k)
            if (fields[k].substr(0, fields[k].find('-')) == kNames[c]) column[c] = k;
    }
    const auto has = [&](int c) { return column[c] < fields.size(); };
    const bool footsteps = has(kStartX) && has(kStartY) && has(kEndX) && has(kEndY);
    if (!has(kId) || !has(kTime) || (!footsteps && !(has(kX) && has(kY))))
        Fail(name, headerLine,
             "the header needs the columns pedestrianId, simTime and startX, startY, endX, "
             "endY (or x, y)");
    const std::size_t width = fields.size();

    TTimedSamples samples(set);
    while (lines.Next(line)) {
        if (line.find_first_not_of(" \t") == std::string_view::npos || line.front() == '#')
            continue;
        Split(line, sep, fields);
        if (fields.size() < width)
            Fail(name, lines.Number(),
                 std::to_string(fields.size()) + " fields where the header has " +
                     std::to_string(width));
        double value[kCount] = {};
        for (int c = 0; c < kCount; ++c)
            if (has(c) && !Number(fields[column[c]], value[c]))
                Fail(name, lines.Number(),
                     std::string(kNames[c]) + " is not a number (\"" +
                         std::string(fields[column[c]]) + "\")");
        if (!IsWholeId(value[kId]))
            Fail(name, lines.Number(), "pedestrianId is not a whole number");
        for (const int c : {kTime, kEndTime})
            if (std::abs(value[c]) > 1e9) Fail(name, lines.Number(), "a time is out of range");
        const int64_t id = static_cast<int64_t>(value[kId]);
        if (!footsteps) {
            samples.Add(id, value[kTime], {0, value[kX], value[kY], 0});
        } else if (has(kEndTime)) {
            samples.Add(id, value[kTime], {0, value[kStartX], value[kStartY], 0});
            samples.Add(id, value[kEndTime], {0, value[kEndX], value[kEndY], 0});
        } else {
            samples.Add(id, value[kTime], {0, value[kEndX], value[kEndY], 0});
        }
    }
    if (samples.Empty()) throw TImportError(name + ": no footstep rows found");
    samples.Finish(kVadereFps);
    return set;
}

TTrajectorySet ReadVadereFile(const std::string& path) {
    const TMappedFile file(path);
    return ParseVadereText(file.View(), path);
}

namespace {

double Coordinate(const json& object, const char* key) {
    const double value = object.at(key).get<double>();
    if (!std::isfinite(value) || std::abs(value) > 1e7)
        throw TImportError(std::string("the value of \"") + key + "\" is out of range");
    return value;
}

// A shape as WKT; empty (with a warning) for a kind not read.
std::string ShapeWkt(const json& shape, std::vector<std::string>& warnings,
                     const std::string& what) {
    const std::string type = shape.at("type").get<std::string>();
    std::ostringstream wkt;
    wkt.precision(9);
    if (type == "RECTANGLE")
        return RectangleWkt(Coordinate(shape, "x"), Coordinate(shape, "y"),
                            Coordinate(shape, "width"), Coordinate(shape, "height"));
    if (type == "POLYGON") {
        const json& points = shape.at("points");
        if (!points.is_array() || points.size() < 3)
            throw TImportError("a POLYGON of " + what + " needs three points or more");
        wkt << "POLYGON((";
        for (const json& p : points) wkt << Coordinate(p, "x") << ' ' << Coordinate(p, "y") << ", ";
        wkt << Coordinate(points[0], "x") << ' ' << Coordinate(points[0], "y") << "))";
        return wkt.str();
    }
    if (type == "CIRCLE") {
        const json& centre = shape.at("center");
        const double x = Coordinate(centre, "x"), y = Coordinate(centre, "y");
        const double radius = Coordinate(shape, "radius");
        wkt << "POLYGON((";
        for (int k = 0; k <= 32; ++k) {
            const double a = 2 * std::numbers::pi * (k % 32) / 32;
            wkt << x + radius * std::cos(a) << ' ' << y + radius * std::sin(a)
                << (k < 32 ? ", " : "))");
        }
        return wkt.str();
    }
    warnings.push_back("a shape of type " + type + " in the " + what + " is left out");
    return {};
}

void AddShapes(const json& topography, const char* key, std::vector<std::string>& out,
               std::vector<std::string>& warnings) {
    if (!topography.contains(key)) return;
    for (const json& element : topography.at(key)) {
        std::string wkt = ShapeWkt(element.at("shape"), warnings, key);
        if (!wkt.empty()) out.push_back(std::move(wkt));
    }
}

}  // namespace

TGeometry ParseVadereScenario(std::string_view text, const std::string& name) {
    TGeometry geometry;
    try {
        const json scenario = json::parse(text.begin(), text.end());
        const json* topography = nullptr;
        if (scenario.contains("scenario") && scenario["scenario"].contains("topography"))
            topography = &scenario["scenario"]["topography"];
        else if (scenario.contains("topography"))
            topography = &scenario["topography"];
        if (!topography) throw TImportError("no \"topography\"");
        const json& attributes = topography->at("attributes");
        const json& bounds = attributes.at("bounds");
        const double inset = attributes.contains("boundingBoxWidth")
                                 ? Coordinate(attributes, "boundingBoxWidth")
                                 : 0.0;
        const double width = Coordinate(bounds, "width") - 2 * inset;
        const double height = Coordinate(bounds, "height") - 2 * inset;
        if (!(width > 0 && height > 0)) throw TImportError("the bounds hold no area");
        geometry.Walkable.push_back(RectangleWkt(Coordinate(bounds, "x") + inset,
                                                 Coordinate(bounds, "y") + inset, width, height));
        AddShapes(*topography, "obstacles", geometry.Obstacles, geometry.Warnings);
        AddShapes(*topography, "targets", geometry.Exits, geometry.Warnings);
        AddShapes(*topography, "sources", geometry.Sources, geometry.Warnings);
        for (const char* key : {"stairs", "absorbingAreas"})
            if (topography->contains(key) && !topography->at(key).empty())
                geometry.Warnings.push_back(std::string("the ") + key + " are left out");
    } catch (const json::parse_error& e) {
        throw TImportError(name + ": broken JSON (" + e.what() + ")");
    } catch (const json::exception& e) {
        throw TImportError(name + ": not a Vadere scenario (" + e.what() + ")");
    } catch (const TImportError& e) {
        throw TImportError(name + ": " + e.what());
    }
    for (std::string& w : geometry.Warnings) w = name + ": " + w;
    return geometry;
}

TGeometry ReadVadereScenario(const std::string& path) {
    const TMappedFile file(path);
    return ParseVadereScenario(file.View(), path);
}

}  // namespace orlex::import
