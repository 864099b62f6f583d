#include "settings.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace orlex {

namespace {

TSettingsProblem Problem(TAnalysisSetting setting, const std::string& text) {
    return {setting, text};
}

std::string RangeText(TAnalysisSetting setting) {
    switch (setting) {
        case TAnalysisSetting::CellSize:
            return "The cell size must be a number from 0.05 to 5 (metres).";
        case TAnalysisSetting::Window:
            return "The window must be an odd whole number from 1 to 15 (cells).";
        case TAnalysisSetting::DensityLimit:
            return "The density limit must be a number above 0 and up to 100 (persons/m²).";
        case TAnalysisSetting::CongestionShare:
            return "The congestion share must be a number from 0 to 1.";
    }
    return {};
}

}  // namespace

const char* SettingName(TAnalysisSetting setting) {
    switch (setting) {
        case TAnalysisSetting::CellSize:
            return "AnalysisCellSize";
        case TAnalysisSetting::Window:
            return "AnalysisWindow";
        case TAnalysisSetting::DensityLimit:
            return "AnalysisDensityLimit";
        case TAnalysisSetting::CongestionShare:
            return "AnalysisCongestionShare";
    }
    return "";
}

const char* OptionName(TAnalysisSetting setting) {
    switch (setting) {
        case TAnalysisSetting::CellSize:
            return "cell-size";
        case TAnalysisSetting::Window:
            return "window";
        case TAnalysisSetting::DensityLimit:
            return "density-limit";
        case TAnalysisSetting::CongestionShare:
            return "congestion-share";
    }
    return "";
}

std::optional<TSettingsProblem> ValidateAnalysisSettings(const TAnalysisSettings& s) {
    // Written so that NaN fails every test.
    if (!(s.CellSize >= kMinCellSize && s.CellSize <= kMaxCellSize)) {
        return Problem(TAnalysisSetting::CellSize, RangeText(TAnalysisSetting::CellSize));
    }
    if (s.Window < kMinWindow || s.Window > kMaxWindow || s.Window % 2 == 0) {
        return Problem(TAnalysisSetting::Window, RangeText(TAnalysisSetting::Window));
    }
    if (!(s.DensityLimit > 0.0 && s.DensityLimit <= kMaxDensityLimit)) {
        return Problem(TAnalysisSetting::DensityLimit, RangeText(TAnalysisSetting::DensityLimit));
    }
    if (!(s.CongestionShare >= 0.0 && s.CongestionShare <= 1.0)) {
        return Problem(TAnalysisSetting::CongestionShare,
                       RangeText(TAnalysisSetting::CongestionShare));
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
    if (!number) return Problem(setting, RangeText(setting));
    TAnalysisSettings changed = settings;
    switch (setting) {
        case TAnalysisSetting::CellSize:
            changed.CellSize = value;
            break;
        case TAnalysisSetting::Window:
            if (value != std::floor(value) || std::fabs(value) > 1e6) {
                return Problem(setting, RangeText(setting));
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
