#include "settings.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

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
    return std::nullopt;
}

std::optional<TSettingsProblem> ParseAnalysisSetting(TAnalysisSetting setting,
                                                     const std::string& text,
                                                     TAnalysisSettings& settings) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(begin, &end);
    const bool number = !text.empty() && end == begin + text.size() && errno == 0 &&
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
    }
    if (auto problem = ValidateAnalysisSettings(changed); problem && problem->Setting == setting) {
        return problem;
    }
    settings = changed;
    return std::nullopt;
}

}  // namespace orlex
