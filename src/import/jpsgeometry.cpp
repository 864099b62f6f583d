#include "jpsgeometry.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "trajectories.h"
#include "walls.h"
#include "xmlload.h"

namespace orlex::import {

namespace {

struct TReader {
    const std::string& Name;
    double Scale = 1;

    double Value(const pugi::xml_node& vertex, const char* key) const {
        const pugi::xml_attribute a = vertex.attribute(key);
        double value = 0;
        const char* text = a.value();
        const char* end = text + std::strlen(text);
        const auto [ptr, ec] = std::from_chars(text, end, value);
        if (!a || ec != std::errc() || ptr != end || !std::isfinite(value) || std::abs(value) > 1e7)
            throw TImportError(Name + ": a vertex has no number " + key + " (\"" + text + "\")");
        return value * Scale;
    }

    // The vertices of node as WKT: a line string, or (closed) a polygon.
    std::string Wkt(const pugi::xml_node& node, bool closed) const {
        std::string points;
        int count = 0;
        double firstX = 0, firstY = 0;
        for (const pugi::xml_node vertex : node.children("vertex")) {
            const double x = Value(vertex, "px"), y = Value(vertex, "py");
            if (count == 0) firstX = x, firstY = y;
            char text[80];
            std::snprintf(text, sizeof text, "%s%.9g %.9g", count ? ", " : "", x, y);
            points += text;
            ++count;
        }
        if (count < (closed ? 3 : 2)) return {};
        if (!closed) return "LINESTRING(" + points + ")";
        char text[80];
        std::snprintf(text, sizeof text, ", %.9g %.9g", firstX, firstY);
        return "POLYGON((" + points + text + "))";
    }
};

}  // namespace

bool IsJuPedSimGeometry(std::string_view text) {
    pugi::xml_document doc;
    if (!doc.load_buffer(text.data(), text.size()))
        return text.find("<geometry") != std::string_view::npos;  // its reader names the fault
    return std::strcmp(doc.document_element().name(), "geometry") == 0;
}

TGeometry ParseJuPedSimGeometry(std::string_view text, const std::string& name) {
    pugi::xml_document doc;
    LoadXml(doc, text, name);
    const pugi::xml_node root = doc.document_element();
    if (std::strcmp(root.name(), "geometry") != 0)
        throw TImportError(name + ": no <geometry> element");
    TReader reader{name};
    const std::string unit = root.attribute("unit").as_string("m");
    if (unit == "cm")
        reader.Scale = 0.01;
    else if (unit != "m")
        throw TImportError(name + ": the unit \"" + unit + "\" is neither m nor cm");
    const std::string version = root.attribute("version").as_string("");
    TGeometry geometry;
    if (!version.empty() && version.rfind("0.", 0) != 0)
        geometry.Warnings.push_back(name + ": geometry version " + version +
                                    " is read as version 0.8");

    std::vector<std::string> closing;  // doors: close the rooms, walkable
    for (const pugi::xml_node room : root.child("rooms").children("room"))
        for (const pugi::xml_node sub : room.children("subroom")) {
            for (const pugi::xml_node polygon : sub.children("polygon")) {
                std::string wkt = reader.Wkt(polygon, false);
                if (!wkt.empty()) geometry.Walls.push_back(std::move(wkt));
            }
            for (const pugi::xml_node obstacle : sub.children("obstacle"))
                for (const pugi::xml_node polygon : obstacle.children("polygon")) {
                    std::string wkt = reader.Wkt(polygon, true);
                    if (!wkt.empty()) geometry.Obstacles.push_back(std::move(wkt));
                }
            for (const pugi::xml_node crossing : sub.child("crossings").children("crossing")) {
                std::string wkt = reader.Wkt(crossing, false);
                if (!wkt.empty()) closing.push_back(std::move(wkt));
            }
        }
    for (const pugi::xml_node crossing : root.child("crossings").children("crossing")) {
        std::string wkt = reader.Wkt(crossing, false);
        if (!wkt.empty()) closing.push_back(std::move(wkt));
    }
    for (const pugi::xml_node transition : root.child("transitions").children("transition")) {
        std::string wkt = reader.Wkt(transition, false);
        if (wkt.empty()) continue;
        closing.push_back(wkt);
        if (transition.attribute("room2_id").as_int(0) == -1 ||
            transition.attribute("room1_id").as_int(0) == -1)
            geometry.ExitLines.push_back(std::move(wkt));
    }
    if (geometry.Walls.empty())
        throw TImportError(name + ": no walls (subroom polygons with vertices px, py)");
    std::vector<std::string> lines = geometry.Walls;
    lines.insert(lines.end(), closing.begin(), closing.end());
    geometry.Walkable = RoomsOfWalls(lines, name);
    return geometry;
}

}  // namespace orlex::import
