#include "importargs.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "cells.h"
#include "openproject.h"

namespace orlex::import {

namespace {

bool PositiveNumber(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value) && value > 0;
}

}  // namespace

const std::vector<TImportOptionInfo>& ImportOptionTable() {
    static const std::vector<TImportOptionInfo> table = {
        {"format", "F",
         "format of a file that is not a 3D log file: auto (default: found from the file), "
         "petrack, jupedsim, pathfinder, vadere, crowdit"},
        {"geometry", "FILE",
         "walkable area of an imported file: WKT polygons, a Vadere .scenario, a crowd:it "
         ".floor or a 3D log file"},
        {"cell-size", "S", "cell size in metres (default: the file's own, else 0.4)"},
        {"step-rate", "V", "steps a second of an imported file, 1 to 100 (default: chosen)"},
        {"fps", "F", "frame rate of an imported text file that gives none"},
        {"unit", "m|cm", "length unit of an imported text file that names none"},
        {"floors-from-z", "", "decks of an imported file from the persons' z values"},
    };
    return table;
}

bool IsImportOption(const std::string& name) {
    if (name.rfind("--", 0) != 0) return false;
    for (const TImportOptionInfo& info : ImportOptionTable())
        if (name.compare(2, std::string::npos, info.Name) == 0) return true;
    return false;
}

bool ImportOptionTakesValue(const std::string& name) {
    for (const TImportOptionInfo& info : ImportOptionTable())
        if (name == info.Name) return *info.ValueName != '\0';
    return false;
}

std::string SetImportOption(const std::string& name, const std::string& value,
                            TImportOptions& options) {
    const std::string option = "--" + name;
    double number = 0;
    if (name == "format") {
        const std::optional<TFormat> format = FormatOfName(value);
        if (!format)
            return option +
                   " takes auto, petrack, jupedsim, pathfinder, vadere or crowdit, not \"" + value +
                   "\"";
        options.Format = *format;
    } else if (name == "geometry") {
        options.GeometryPath = value;
    } else if (name == "cell-size") {
        if (!PositiveNumber(value, number))
            return option + " needs a number above 0, not \"" + value + "\"";
        options.CellSize = number;
    } else if (name == "step-rate") {
        int rate = 0;
        const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), rate);
        if (ec != std::errc() || ptr != value.data() + value.size() || rate < 1 ||
            rate > kMaxStepRate)
            return option + " takes a whole number from 1 to 100, not \"" + value + "\"";
        options.StepRate = rate;
    } else if (name == "fps") {
        if (!PositiveNumber(value, number))
            return option + " needs a number above 0, not \"" + value + "\"";
        options.Text.Fps = number;
    } else if (name == "unit") {
        if (value == "m")
            options.Text.Unit = TLengthUnit::Metre;
        else if (value == "cm")
            options.Text.Unit = TLengthUnit::Centimetre;
        else
            return option + " takes m or cm, not \"" + value + "\"";
    } else if (name == "floors-from-z") {
        options.FloorsFromZ = true;
    } else {
        return "unknown option " + option;
    }
    return {};
}

std::string ImportOptionsHelp(int width, const std::vector<std::string>& leaveOut) {
    constexpr std::size_t kLine = 79;
    const std::size_t indent = static_cast<std::size_t>(width);
    std::string text;
    for (const TImportOptionInfo& info : ImportOptionTable()) {
        if (std::find(leaveOut.begin(), leaveOut.end(), info.Name) != leaveOut.end()) continue;
        std::string line = std::string("  --") + info.Name;
        if (*info.ValueName) line += std::string(" ") + info.ValueName;
        line.resize(std::max(line.size() + 1, indent), ' ');
        // The help wrapped at word boundaries, further lines indented as the first.
        const std::string help = info.Help;
        std::size_t at = 0;
        bool first = true;
        while (at < help.size()) {
            std::size_t end = help.find(' ', at);
            if (end == std::string::npos) end = help.size();
            const std::string word = help.substr(at, end - at);
            if (!first && line.size() + 1 + word.size() > kLine) {
                text += line + "\n";
                line = std::string(indent, ' ');
                first = true;
            }
            line += (first ? "" : " ") + word;
            first = false;
            at = end + 1;
        }
        text += line + "\n";
    }
    return text;
}

bool TImportOpener::operator()(const std::string& path, TLogFile1& project, IProgress& progress,
                               IMessages& messages) const {
    return OpenProject(path, Options, project, progress, messages);
}

}  // namespace orlex::import
