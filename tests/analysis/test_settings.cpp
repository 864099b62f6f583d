// The analysis settings: their bounds and the reading of command-line values.
#include <gtest/gtest.h>

#include <string>

#include "settings.h"

namespace {

using orlex::TAnalysisSetting;
using orlex::TAnalysisSettings;

TEST(AnalysisSettings, DefaultsAreValid) {
    EXPECT_FALSE(orlex::ValidateAnalysisSettings({}));
}

TEST(AnalysisSettings, ValidationNamesTheFirstBadValue) {
    struct {
        TAnalysisSettings Settings;
        std::optional<TAnalysisSetting> Bad;
    } const rows[] = {
        {{0.05, 1, 0.001, 0.0}, std::nullopt},
        {{5.0, 15, 100.0, 1.0}, std::nullopt},
        {{0.049, 5, 4.0, 0.1}, TAnalysisSetting::CellSize},
        {{5.01, 5, 4.0, 0.1}, TAnalysisSetting::CellSize},
        {{0.4, 4, 4.0, 0.1}, TAnalysisSetting::Window},
        {{0.4, 17, 4.0, 0.1}, TAnalysisSetting::Window},
        {{0.4, -1, 4.0, 0.1}, TAnalysisSetting::Window},
        {{0.4, 5, 0.0, 0.1}, TAnalysisSetting::DensityLimit},
        {{0.4, 5, 100.5, 0.1}, TAnalysisSetting::DensityLimit},
        {{0.4, 5, 4.0, -0.1}, TAnalysisSetting::CongestionShare},
        {{0.4, 5, 4.0, 1.5}, TAnalysisSetting::CongestionShare},
        {{0.0, 4, 0.0, 2.0}, TAnalysisSetting::CellSize},
    };
    for (const auto& row : rows) {
        const auto problem = orlex::ValidateAnalysisSettings(row.Settings);
        ASSERT_EQ(problem.has_value(), row.Bad.has_value());
        if (problem) {
            EXPECT_EQ(problem->Setting, *row.Bad);
            EXPECT_FALSE(problem->Message.empty());
        }
    }
}

TEST(AnalysisSettings, NamesOfTheStoredValuesAndOptions) {
    EXPECT_STREQ(orlex::SettingName(TAnalysisSetting::CellSize), "AnalysisCellSize");
    EXPECT_STREQ(orlex::SettingName(TAnalysisSetting::Window), "AnalysisWindow");
    EXPECT_STREQ(orlex::SettingName(TAnalysisSetting::DensityLimit), "AnalysisDensityLimit");
    EXPECT_STREQ(orlex::SettingName(TAnalysisSetting::CongestionShare), "AnalysisCongestionShare");
    EXPECT_STREQ(orlex::OptionName(TAnalysisSetting::CongestionShare), "congestion-share");
}

TEST(AnalysisSettings, ParsingCommandLineValues) {
    struct {
        TAnalysisSetting Setting;
        const char* Text;
        bool Ok;
    } const rows[] = {
        {TAnalysisSetting::CellSize, "0.5", true},
        {TAnalysisSetting::CellSize, "5", true},
        {TAnalysisSetting::CellSize, "6", false},
        {TAnalysisSetting::CellSize, "", false},
        {TAnalysisSetting::CellSize, "0.5m", false},
        {TAnalysisSetting::CellSize, "nan", false},
        {TAnalysisSetting::CellSize, "inf", false},
        {TAnalysisSetting::CellSize, "0x1", false},
        {TAnalysisSetting::CellSize, "+.5", true},  // the C notation, whatever the locale
        {TAnalysisSetting::CellSize, " 2", true},
        {TAnalysisSetting::CellSize, "0,5", false},
        {TAnalysisSetting::CellSize, "+-1", false},
        {TAnalysisSetting::Window, "7", true},
        {TAnalysisSetting::Window, "7.5", false},
        {TAnalysisSetting::Window, "8", false},
        {TAnalysisSetting::Window, "1e9", false},
        {TAnalysisSetting::DensityLimit, "2.5", true},
        {TAnalysisSetting::DensityLimit, "0", false},
        {TAnalysisSetting::CongestionShare, "1", true},
        {TAnalysisSetting::CongestionShare, "-0.5", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Text);
        TAnalysisSettings settings;
        const auto problem = orlex::ParseAnalysisSetting(row.Setting, row.Text, settings);
        EXPECT_EQ(!problem, row.Ok);
        if (problem) {
            EXPECT_EQ(problem->Setting, row.Setting);
            EXPECT_EQ(settings.CellSize, TAnalysisSettings{}.CellSize);  // left as it was
            EXPECT_EQ(settings.Window, TAnalysisSettings{}.Window);
        }
    }
    TAnalysisSettings settings;
    ASSERT_FALSE(orlex::ParseAnalysisSetting(TAnalysisSetting::Window, "9", settings));
    EXPECT_EQ(settings.Window, 9);
}

}  // namespace
