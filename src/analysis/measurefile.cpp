#include "measurefile.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <system_error>

#include "geometry.h"
#include "osfile.h"

namespace orlex {

namespace {

using nlohmann::json;

// Names one entry in a message: "ship.3dl.measure.json: line 2 ("Door A")".
std::string EntryName(const std::string& fileName, const char* kind, std::size_t index,
                      const json& entry) {
    std::string s = fileName + ": " + kind + " " + std::to_string(index + 1);
    if (entry.is_object()) {
        const auto name = entry.find("name");
        if (name != entry.end() && name->is_string())
            s += " (\"" + name->get<std::string>() + "\")";
    }
    return s;
}

// Reads a finite number; false for anything else (NaN and infinities included).
bool Number(const json& v, double& out) {
    if (!v.is_number()) return false;
    out = v.get<double>();
    return std::isfinite(out);
}

// Reads [x, y]; an empty string on success, else what is wrong.
std::string Point(const json& v, TMetrePoint& out) {
    if (!v.is_array() || v.size() != 2) return "is not a pair of numbers [x, y]";
    if (!Number(v[0], out.X) || !Number(v[1], out.Y))
        return "holds a value that is not a finite number";
    return {};
}

// The checks every entry shares: an object of the allowed fields only, with a
// string "name" and a whole, non-negative "deck". Empty on success.
std::string Common(const json& entry, std::initializer_list<const char*> fields, std::string& name,
                   int& deck) {
    if (!entry.is_object()) return "is not an object";
    for (const auto& [key, value] : entry.items()) {
        bool known = false;
        for (const char* f : fields) known = known || key == f;
        if (!known) return "unknown field \"" + key + "\"";
    }
    for (const char* f : fields) {
        if (!entry.contains(f)) return std::string("lacks the field \"") + f + "\"";
    }
    if (!entry["name"].is_string()) return "\"name\" is not a string";
    name = entry["name"].get<std::string>();
    double d = 0;
    if (!Number(entry["deck"], d) || d != std::floor(d) || d < 0 || d > 1e6)
        return "\"deck\" is not a deck index (0, 1, 2, ...)";
    deck = static_cast<int>(d);
    return {};
}

std::string ReadLine(const json& entry, TMeasureLine& line) {
    std::string problem = Common(entry, {"name", "deck", "from", "to"}, line.Name, line.Deck);
    if (!problem.empty()) return problem;
    problem = Point(entry["from"], line.From);
    if (!problem.empty()) return "\"from\" " + problem;
    problem = Point(entry["to"], line.To);
    if (!problem.empty()) return "\"to\" " + problem;
    if (line.From == line.To) return "the line has zero length";
    return {};
}

std::string ReadArea(const json& entry, TMeasureArea& area) {
    std::string problem = Common(entry, {"name", "deck", "polygon"}, area.Name, area.Deck);
    if (!problem.empty()) return problem;
    const json& corners = entry["polygon"];
    if (!corners.is_array()) return "\"polygon\" is not a list of corners [x, y]";
    for (std::size_t i = 0; i < corners.size(); ++i) {
        TMetrePoint p;
        problem = Point(corners[i], p);
        if (!problem.empty()) return "corner " + std::to_string(i + 1) + " " + problem;
        area.Polygon.push_back(p);
    }
    // A closed ring may repeat its first corner at the end.
    if (area.Polygon.size() > 1 && area.Polygon.front() == area.Polygon.back())
        area.Polygon.pop_back();
    if (area.Polygon.size() < 3) return "the polygon has fewer than 3 corners";
    for (std::size_t i = 0; i < area.Polygon.size(); ++i) {
        if (area.Polygon[i] == area.Polygon[(i + 1) % area.Polygon.size()])
            return "the polygon repeats corner " + std::to_string(i + 1);
    }
    bool flat = true;  // all corners on one straight line
    for (const TMetrePoint& p : area.Polygon)
        flat = flat && geometry::Cross(area.Polygon[0], area.Polygon[1], p) == 0;
    if (flat) return "the polygon has no area";
    if (geometry::SelfIntersects(area.Polygon)) return "the polygon intersects itself";
    return {};
}

nlohmann::ordered_json PointJson(const TMetrePoint& p) {
    return nlohmann::ordered_json::array({p.X, p.Y});
}

}  // namespace

std::string MeasureFilePathFor(const std::string& projectPath) {
    return projectPath + ".measure.json";
}

namespace {

// Where the entries read stood in the file (0-based), for messages about them later.
struct TEntryIndices {
    std::vector<std::size_t> Lines;
    std::vector<std::size_t> Areas;
};

bool Parse(const std::string& text, const std::string& fileName, TMeasureSet& out,
           std::vector<std::string>& problems, TEntryIndices& indices) {
    out = {};
    indices = {};
    // No exceptions: a text that is not JSON (NaN is not JSON either) comes back discarded.
    const json doc = json::parse(text, nullptr, false);
    if (doc.is_discarded()) {
        problems.push_back(fileName + ": not a valid JSON file");
        return false;
    }
    if (!doc.is_object()) {
        problems.push_back(fileName + ": not an object of \"lines\" and \"areas\"");
        return false;
    }
    for (const auto& [key, value] : doc.items()) {
        if (key != "lines" && key != "areas") {
            problems.push_back(fileName + ": unknown field \"" + key + "\" left out");
        } else if (!value.is_array()) {
            problems.push_back(fileName + ": \"" + key + "\" is not a list");
            return false;
        }
    }
    if (const auto lines = doc.find("lines"); lines != doc.end()) {
        for (std::size_t i = 0; i < lines->size(); ++i) {
            TMeasureLine line;
            const std::string problem = ReadLine((*lines)[i], line);
            if (problem.empty()) {
                out.Lines.push_back(std::move(line));
                indices.Lines.push_back(i);
            } else {
                problems.push_back(EntryName(fileName, "line", i, (*lines)[i]) + ": " + problem);
            }
        }
    }
    if (const auto areas = doc.find("areas"); areas != doc.end()) {
        for (std::size_t i = 0; i < areas->size(); ++i) {
            TMeasureArea area;
            const std::string problem = ReadArea((*areas)[i], area);
            if (problem.empty()) {
                out.Areas.push_back(std::move(area));
                indices.Areas.push_back(i);
            } else {
                problems.push_back(EntryName(fileName, "area", i, (*areas)[i]) + ": " + problem);
            }
        }
    }
    return true;
}

bool Read(const std::string& path, TMeasureSet& out, std::vector<std::string>& problems,
          TEntryIndices& indices) {
    out = {};
    indices = {};
    std::ifstream in(PathOf(path), std::ios::binary);
    if (!in) {
        problems.push_back(path + ": cannot be opened");
        return false;
    }
    // A measurement file holds a few hundred entries; anything far larger is not one.
    constexpr std::streamoff kMaxBytes = std::streamoff{64} << 20;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxBytes) {
        problems.push_back(path + ": too large for a measurement file");
        return false;
    }
    in.seekg(0);
    std::string text(static_cast<std::size_t>(size), '\0');
    in.read(text.data(), size);
    if (!in) {
        problems.push_back(path + ": cannot be read");
        return false;
    }
    return Parse(text, path, out, problems, indices);
}

void Check(TMeasureSet& set, const TMetreFrame& frame, int decks, const std::string& fileName,
           std::vector<std::string>& problems, const TEntryIndices& indices) {
    const double x0 = frame.OriginX;
    const double y0 = frame.OriginY;
    const double x1 = x0 + frame.Columns * frame.CellSize;
    const double y1 = y0 + frame.Rows * frame.CellSize;
    const double eps = 1e-9 * std::max(1.0, std::max(std::abs(x1), std::abs(y1)));
    const auto onGrid = [&](const TMetrePoint& p) {
        return p.X >= x0 - eps && p.X <= x1 + eps && p.Y >= y0 - eps && p.Y <= y1 + eps;
    };
    // Empty when the entry can be used.
    const auto problemOf = [&](int deck, const std::vector<TMetrePoint>& points) -> std::string {
        if (deck < 0 || deck >= decks)
            return "deck " + std::to_string(deck) + " does not exist (the project has " +
                   std::to_string(decks) + (decks == 1 ? " deck)" : " decks)");
        for (const TMetrePoint& p : points) {
            if (!onGrid(p)) {
                std::ostringstream s;
                s << "the point " << p.X << ", " << p.Y << " lies off the deck (x " << x0 << " to "
                  << x1 << " m, y " << y0 << " to " << y1 << " m)";
                return s.str();
            }
        }
        return {};
    };
    const auto name = [&](const char* kind, std::size_t i, const std::string& n) {
        return fileName + ": " + kind + " " + std::to_string(i + 1) + " (\"" + n + "\")";
    };
    std::vector<TMeasureLine> lines;
    for (std::size_t i = 0; i < set.Lines.size(); ++i) {
        TMeasureLine& l = set.Lines[i];
        const std::string problem = problemOf(l.Deck, {l.From, l.To});
        if (problem.empty()) {
            lines.push_back(std::move(l));
        } else {
            problems.push_back(name("line", indices.Lines[i], l.Name) + ": " + problem);
        }
    }
    std::vector<TMeasureArea> areas;
    for (std::size_t i = 0; i < set.Areas.size(); ++i) {
        TMeasureArea& a = set.Areas[i];
        const std::string problem = problemOf(a.Deck, a.Polygon);
        if (problem.empty()) {
            areas.push_back(std::move(a));
        } else {
            problems.push_back(name("area", indices.Areas[i], a.Name) + ": " + problem);
        }
    }
    set.Lines = std::move(lines);
    set.Areas = std::move(areas);
}

// The entries in the order of the set.
TEntryIndices InOrder(const TMeasureSet& set) {
    TEntryIndices indices;
    for (std::size_t i = 0; i < set.Lines.size(); ++i) indices.Lines.push_back(i);
    for (std::size_t i = 0; i < set.Areas.size(); ++i) indices.Areas.push_back(i);
    return indices;
}

}  // namespace

bool ParseMeasureText(const std::string& text, const std::string& fileName, TMeasureSet& out,
                      std::vector<std::string>& problems) {
    TEntryIndices indices;
    return Parse(text, fileName, out, problems, indices);
}

bool ReadMeasureFile(const std::string& path, TMeasureSet& out,
                     std::vector<std::string>& problems) {
    TEntryIndices indices;
    return Read(path, out, problems, indices);
}

void CheckMeasuresOnProject(TMeasureSet& set, const TMetreFrame& frame, int decks,
                            const std::string& fileName, std::vector<std::string>& problems) {
    Check(set, frame, decks, fileName, problems, InOrder(set));
}

bool MeasuresForProject(const std::string& projectPath, const std::string& measurePath,
                        const TLogFile1& project, double cellSize, TMeasureSet& set,
                        std::vector<std::string>& problems) {
    set = {};
    std::string path = measurePath;
    if (path.empty()) {
        path = MeasureFilePathFor(projectPath);
        std::error_code ec;
        if (!std::filesystem::exists(PathOf(path), ec)) return true;
    }
    TEntryIndices indices;
    const bool read = Read(path, set, problems, indices);
    const int decks =
        std::clamp<int>(static_cast<int>(project.Decks.size()), 0, std::max(0, project.ZMax));
    Check(set, MetreFrameOf(project, cellSize), decks, path, problems, indices);
    return read || measurePath.empty();
}

std::string MeasureFileText(const TMeasureSet& set) {
    // One entry a line, the name first, as an analyst would write it by hand.
    std::string text = "{\"lines\": [";
    for (std::size_t i = 0; i < set.Lines.size(); ++i) {
        const TMeasureLine& l = set.Lines[i];
        nlohmann::ordered_json e;
        e["name"] = l.Name;
        e["deck"] = l.Deck;
        e["from"] = PointJson(l.From);
        e["to"] = PointJson(l.To);
        text +=
            (i == 0 ? "\n  " : ",\n  ") + e.dump(-1, ' ', false, json::error_handler_t::replace);
    }
    text += set.Lines.empty() ? "],\n \"areas\": [" : "\n ],\n \"areas\": [";
    for (std::size_t i = 0; i < set.Areas.size(); ++i) {
        const TMeasureArea& a = set.Areas[i];
        nlohmann::ordered_json e;
        e["name"] = a.Name;
        e["deck"] = a.Deck;
        e["polygon"] = json::array();
        for (const TMetrePoint& p : a.Polygon) e["polygon"].push_back(PointJson(p));
        text +=
            (i == 0 ? "\n  " : ",\n  ") + e.dump(-1, ' ', false, json::error_handler_t::replace);
    }
    text += set.Areas.empty() ? "]}\n" : "\n ]}\n";
    return text;
}

bool WriteMeasureFile(const std::string& path, const TMeasureSet& set, std::string& error) {
    namespace fs = std::filesystem;
    const std::string tempPath = path + ".tmp";
    const fs::path temp = PathOf(tempPath);
    const std::string text = MeasureFileText(set);
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = path + ": cannot be written (the folder refuses a new file)";
            return false;
        }
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(temp, ignored);
            error = path + ": cannot be written (the disk may be full)";
            return false;
        }
    }
    std::string why;
    if (!RenameFile(tempPath, path, why)) {
        RemoveFile(tempPath);
        error = path + ": cannot be written (" + why + ")";
        return false;
    }
    return true;
}

}  // namespace orlex
