#include "settings.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace orlex {

namespace {

struct TSettingText {
    const char* Setting;
    const char* Option;
    const char* Range;
};

// Indexed by TAnalysisSetting.
constexpr TSettingText kTexts[] = {
    {"AnalysisCellSize", "cell-size", "The cell size must be a number from 0.05 to 5 (metres)."},
    {"AnalysisWindow", "window", "The window must be an odd whole number from 1 to 15 (cells)."},
    {"AnalysisDensityLimit", "density-limit",
     "The density limit must be a number above 0 and up to 100 (persons/m²)."},
    {"AnalysisCongestionShare", "congestion-share",
     "The congestion share must be a number from 0 to 1."},
    {"AnalysisFlowWindow", "flow-window",
     "The flow window must be a number from 1 to 600 (seconds)."},
};

const TSettingText& TextOf(TAnalysisSetting setting) {
    return kTexts[static_cast<int>(setting)];
}

TSettingsProblem Problem(TAnalysisSetting setting) {
    return {setting, TextOf(setting).Range};
}

}  // namespace

const char* SettingName(TAnalysisSetting setting) {
    return TextOf(setting).Setting;
}

const char* OptionName(TAnalysisSetting setting) {
    return TextOf(setting).Option;
}

std::optional<TSettingsProblem> ValidateAnalysisSettings(const TAnalysisSettings& s) {
    // Written so that NaN fails every test.
    if (!(s.CellSize >= kMinCellSize && s.CellSize <= kMaxCellSize)) {
        return Problem(TAnalysisSetting::CellSize);
    }
    if (s.Window < kMinWindow || s.Window > kMaxWindow || s.Window % 2 == 0) {
        return Problem(TAnalysisSetting::Window);
    }
    if (!(s.DensityLimit > 0.0 && s.DensityLimit <= kMaxDensityLimit)) {
        return Problem(TAnalysisSetting::DensityLimit);
    }
    if (!(s.CongestionShare >= 0.0 && s.CongestionShare <= 1.0)) {
        return Problem(TAnalysisSetting::CongestionShare);
    }
    if (!(s.FlowWindow >= kMinFlowWindow && s.FlowWindow <= kMaxFlowWindow)) {
        return Problem(TAnalysisSetting::FlowWindow);
    }
    return std::nullopt;
}

std::optional<TSettingsProblem> ParseAnalysisSetting(TAnalysisSetting setting,
                                                     const std::string& text,
                                                     TAnalysisSettings& settings) {
    // from_chars reads the C notation whatever the process locale (a GUI program
    // runs in the user's locale, where strtod may want a decimal comma).
    const char* begin = text.data();
    const char* const end = begin + text.size();
    while (begin != end && std::isspace(static_cast<unsigned char>(*begin))) ++begin;
    if (begin != end && *begin == '+') ++begin;
    double value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    const bool number = begin != end && stop == end && error == std::errc() &&
                        std::isfinite(value) && text.find_first_of("xXnN") == std::string::npos;
    if (!number) return Problem(setting);
    TAnalysisSettings changed = settings;
    switch (setting) {
        case TAnalysisSetting::CellSize:
            changed.CellSize = value;
            break;
        case TAnalysisSetting::Window:
            if (value != std::floor(value) || std::fabs(value) > 1e6) {
                return Problem(setting);
            }
            changed.Window = static_cast<int>(value);
            break;
        case TAnalysisSetting::DensityLimit:
            changed.DensityLimit = value;
            break;
        case TAnalysisSetting::CongestionShare:
            changed.CongestionShare = value;
            break;
        case TAnalysisSetting::FlowWindow:
            changed.FlowWindow = value;
            break;
    }
    if (auto problem = ValidateAnalysisSettings(changed); problem && problem->Setting == setting) {
        return problem;
    }
    settings = changed;
    return std::nullopt;
}

}  // namespace orlex
