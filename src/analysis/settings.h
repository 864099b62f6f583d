// The settings of the evacuation analysis, their bounds and their one validation.
#pragma once

#include <optional>
#include <string>

namespace orlex {

struct TAnalysisSettings {
    double CellSize = 0.4;          // metres, 0.05 to 5
    int Window = 5;                 // cells, odd, 1 to 15
    double DensityLimit = 4.0;      // persons per square metre, above 0 up to 100
    double CongestionShare = 0.10;  // share of the duration, 0 to 1
    double FlowWindow = 10;         // seconds of the sliding window of flows, 1 to 600
};

enum class TAnalysisSetting { CellSize, Window, DensityLimit, CongestionShare, FlowWindow };

inline constexpr double kMinCellSize = 0.05;
inline constexpr double kMaxCellSize = 5.0;
inline constexpr int kMinWindow = 1;
inline constexpr int kMaxWindow = 15;
inline constexpr double kMaxDensityLimit = 100.0;
inline constexpr double kMinFlowWindow = 1.0;
inline constexpr double kMaxFlowWindow = 600.0;

// The name under which the settings store a value ("AnalysisCellSize", ...).
const char* SettingName(TAnalysisSetting setting);
// The command-line option of a value, without dashes ("cell-size", ...).
const char* OptionName(TAnalysisSetting setting);

struct TSettingsProblem {
    TAnalysisSetting Setting;
    std::string Message;  // a full sentence naming the value and its range
};

// The first value out of range, in the order of the struct; none when all are good.
std::optional<TSettingsProblem> ValidateAnalysisSettings(const TAnalysisSettings& settings);

// Reads one value from text (a plain decimal number; the window an integer) into
// settings. Returns the problem, naming the option, for text that is no number or
// a value out of range.
std::optional<TSettingsProblem> ParseAnalysisSetting(TAnalysisSetting setting,
                                                     const std::string& text,
                                                     TAnalysisSettings& settings);

}  // namespace orlex
