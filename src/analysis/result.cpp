#include "result.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace orlex {

int TStepCurve::At(int64_t step) const {
    const auto it = std::upper_bound(Steps.begin(), Steps.end(), step);
    if (it == Steps.begin()) return Values.front();
    return Values[static_cast<std::size_t>(it - Steps.begin() - 1)];
}

std::vector<int> TStepCurve::Sample(int64_t every, std::size_t count) const {
    std::vector<int> values;
    values.reserve(count);
    std::size_t i = 0;
    for (std::size_t n = 0; n < count; ++n) {
        const int64_t step = static_cast<int64_t>(n) * every;
        while (i + 1 < Steps.size() && Steps[i + 1] <= step) ++i;
        values.push_back(Values[i]);
    }
    return values;
}

std::size_t PercentileRank(std::size_t n, double percent) {
    if (!(percent < 100.0)) return n;
    // percent * n is exact for whole percents, so the ceiling is not upset by rounding.
    const double rank = std::ceil(percent * static_cast<double>(n) / 100.0) + 1.0;
    const std::size_t m = rank >= static_cast<double>(n) ? n : static_cast<std::size_t>(rank);
    return std::max<std::size_t>(m, 1);
}

std::optional<double> RankPercentile(const std::vector<double>& sorted, double percent) {
    if (sorted.empty()) return std::nullopt;
    return sorted[PercentileRank(sorted.size(), percent) - 1];
}

std::optional<TExitStatistics> ExitStatistics(std::vector<double> values) {
    if (values.empty()) return std::nullopt;
    std::sort(values.begin(), values.end());
    TExitStatistics s;
    s.Min = values.front();
    s.Max = values.back();
    s.Mean =
        std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
    s.P50 = *RankPercentile(values, 50);
    s.P95 = *RankPercentile(values, 95);
    return s;
}

char LevelOfService(double density) {
    char level = 'A';
    for (const double limit : kLevelOfServiceLimits) {
        if (!(density >= limit)) return level;
        ++level;
    }
    return level;
}

TUsageMap::TUsageMap(std::vector<uint32_t> low, std::vector<std::pair<std::size_t, uint64_t>> large)
    : Low_(std::move(low)), Large_(std::move(large)) {}

uint64_t TUsageMap::LargeAt(std::size_t i) const {
    const auto it =
        std::lower_bound(Large_.begin(), Large_.end(), i,
                         [](const auto& entry, std::size_t at) { return entry.first < at; });
    return it != Large_.end() && it->first == i ? it->second : kLarge;
}

uint64_t TUsageMap::Sum() const {
    uint64_t sum = 0;
    for (const uint32_t v : Low_) sum += v == kLarge ? 0 : v;
    for (const auto& [i, v] : Large_) sum += v;
    return sum;
}

uint64_t TUsageMap::Max() const {
    uint64_t max = 0;
    for (const uint32_t v : Low_) max = v == kLarge ? max : std::max<uint64_t>(max, v);
    for (const auto& [i, v] : Large_) max = std::max(max, v);
    return max;
}

void TUsageMap::Clear(std::size_t i) {
    if (Low_[i] == kLarge) {
        std::erase_if(Large_, [&](const auto& entry) { return entry.first == i; });
    }
    Low_[i] = 0;
}

double TAnalysisResult::WindowArea() const {
    const double side = Settings.Window * Settings.CellSize;
    return side * side;
}

int64_t TAnalysisResult::MapIndex(const TCellPlace& cell) const {
    if (cell.Deck < 0 || cell.Deck >= static_cast<int>(Maps.size())) return -1;
    if (cell.Row < 0 || cell.Row >= Rows || cell.Column < 0 || cell.Column >= Columns) return -1;
    const int64_t index = int64_t{cell.Row} * Columns + cell.Column;
    if (index >= static_cast<int64_t>(Maps[cell.Deck].PeakCount.size())) return -1;
    return index;
}

double TAnalysisResult::PeakDensity(const TCellPlace& cell) const {
    const int64_t i = MapIndex(cell);
    return i < 0 ? 0.0 : DensityOf(Maps[cell.Deck].PeakCount[i]);
}

double TAnalysisResult::SecondsAbove(const TCellPlace& cell) const {
    const int64_t i = MapIndex(cell);
    return i < 0 ? 0.0 : Seconds(Maps[cell.Deck].StepsAbove[i]);
}

double TAnalysisResult::Usage(const TCellPlace& cell) const {
    const int64_t i = MapIndex(cell);
    return i < 0 ? 0.0 : Seconds(static_cast<double>(Maps[cell.Deck].UsageSteps[i]));
}

bool TAnalysisResult::IsCongested(const TCellPlace& cell) const {
    if (!Duration) return false;
    const int64_t i = MapIndex(cell);
    return i >= 0 && Seconds(Maps[cell.Deck].StepsAbove[i]) > Settings.CongestionShare * *Duration;
}

std::vector<int> TAnalysisResult::SavedPerSecond() const {
    // The saved count reaches the number of persons after the last step count.
    const int64_t v = StepsPerSecond;
    int64_t seconds = LastStep < 0 ? 0 : (LastStep + v) / v;
    // A tiny file can hold a track of two thousand million steps; its lists are cut.
    seconds = std::min<int64_t>(seconds, kMaxSecondsListed);
    std::vector<int> saved = Saved.Sample(v, static_cast<std::size_t>(seconds) + 1);
    const auto full = std::find(saved.begin(), saved.end(), Persons);
    if (full != saved.end()) saved.erase(full + 1, saved.end());
    return saved;
}

std::vector<std::vector<int>> TAnalysisResult::OccupancyPerSecond() const {
    const std::size_t count = SavedPerSecond().size();
    std::vector<std::vector<int>> lists;
    lists.reserve(Occupancy.size());
    for (const TStepCurve& curve : Occupancy) lists.push_back(curve.Sample(StepsPerSecond, count));
    return lists;
}

}  // namespace orlex
