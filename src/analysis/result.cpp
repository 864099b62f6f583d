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

std::vector<TStairPoint> TStepCurve::Stairs(int64_t end, std::size_t maxPoints) const {
    maxPoints = std::max<std::size_t>(maxPoints, 8);
    const int64_t last = std::max(end, Steps.back());
    std::vector<TStairPoint> points;
    const auto add = [&](int64_t step, int value) {
        if (points.empty() || points.back().Step != step || points.back().Value != value)
            points.push_back({step, value});
    };
    if (2 * Steps.size() <= maxPoints) {
        for (std::size_t i = 0; i < Steps.size(); ++i) {
            if (i > 0) add(Steps[i], Values[i - 1]);
            add(Steps[i], Values[i]);
        }
    } else {
        // Changes lie at distinct step counters up to last, so last + 1 > buckets here.
        const auto buckets = static_cast<int64_t>(maxPoints / 4);
        const int64_t width = (last + buckets) / buckets;
        int value = Values.front();
        for (std::size_t i = 0; i < Steps.size();) {
            const int64_t start = Steps[i] / width * width;
            const int64_t stop = start + width;
            const int before = value;
            int low = value;
            int high = value;
            for (; i < Steps.size() && Steps[i] < stop; ++i) {
                value = Values[i];
                low = std::min(low, value);
                high = std::max(high, value);
            }
            add(start, before);
            add(start, low);
            add(start, high);
            add(start, value);
        }
    }
    if (last > points.back().Step) points.push_back({last, points.back().Value});
    return points;
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

TCellMap::TCellMap(int columns, int rows)
    : Columns_(std::max(0, columns)),
      Rows_(std::max(0, rows)),
      TileColumns_((static_cast<std::size_t>(Columns_) + kTileColumns - 1) >> kColumnShift) {
    const std::size_t tileRows = (static_cast<std::size_t>(Rows_) + kTileRows - 1) >> kRowShift;
    Tiles_.resize(TileColumns_ * tileRows);
}

uint32_t TCellMap::At(int row, int column) const {
    if (row < 0 || row >= Rows_ || column < 0 || column >= Columns_) return 0;
    const std::vector<uint32_t>& tile = Tiles_[TileOf(row, column)];
    return tile.empty() ? 0 : tile[InTile(row, column)];
}

uint32_t* TCellMap::Tile(std::size_t tile) {
    std::vector<uint32_t>& cells = Tiles_[tile];
    if (cells.empty()) cells.assign(kTileCells, 0);
    return cells.data();
}

std::size_t TCellMap::TilesMade() const {
    return static_cast<std::size_t>(
        std::count_if(Tiles_.begin(), Tiles_.end(), [](const auto& t) { return !t.empty(); }));
}

uint32_t TCellMap::Max() const {
    uint32_t max = 0;
    for (const auto& tile : Tiles_) {
        for (const uint32_t v : tile) max = std::max(max, v);
    }
    return max;
}

uint64_t TCellMap::Sum() const {
    uint64_t sum = 0;
    for (const auto& tile : Tiles_) sum = std::accumulate(tile.begin(), tile.end(), sum);
    return sum;
}

bool operator==(const TCellMap& a, const TCellMap& b) {
    if (a.Columns_ != b.Columns_ || a.Rows_ != b.Rows_) return false;
    const auto zero = [](const std::vector<uint32_t>& t) {
        return std::all_of(t.begin(), t.end(), [](uint32_t v) { return v == 0; });
    };
    for (std::size_t t = 0; t < a.Tiles_.size(); ++t) {
        const auto& x = a.Tiles_[t];
        const auto& y = b.Tiles_[t];
        if (x.empty() || y.empty() ? !zero(x) || !zero(y) : x != y) return false;
    }
    return true;
}

TUsageMap::TUsageMap(TCellMap low, std::vector<std::pair<std::size_t, uint64_t>> large)
    : Low_(std::move(low)), Large_(std::move(large)) {}

uint64_t TUsageMap::LargeAt(std::size_t i) const {
    const auto it =
        std::lower_bound(Large_.begin(), Large_.end(), i,
                         [](const auto& entry, std::size_t at) { return entry.first < at; });
    return it != Large_.end() && it->first == i ? it->second : kLarge;
}

uint64_t TUsageMap::Sum() const {
    uint64_t sum = 0;
    Low_.ForEachSet([&](int, int, uint32_t v) { sum += v == kLarge ? 0 : v; });
    for (const auto& [i, v] : Large_) sum += v;
    return sum;
}

uint64_t TUsageMap::Max() const {
    uint64_t max = 0;
    Low_.ForEachSet(
        [&](int, int, uint32_t v) { max = v == kLarge ? max : std::max<uint64_t>(max, v); });
    for (const auto& [i, v] : Large_) max = std::max(max, v);
    return max;
}

void TUsageMap::Clear(int row, int column) {
    if (Low_.At(row, column) == 0) return;
    uint32_t& low = Low_.Cell(row, column);
    if (low == kLarge) {
        const std::size_t i = static_cast<std::size_t>(row) * Low_.Columns() + column;
        std::erase_if(Large_, [&](const auto& entry) { return entry.first == i; });
    }
    low = 0;
}

double TAnalysisResult::WindowArea() const {
    const double side = Settings.Window * Settings.CellSize;
    return side * side;
}

const TDeckMaps* TAnalysisResult::MapsOf(const TCellPlace& cell) const {
    if (cell.Deck < 0 || cell.Deck >= static_cast<int>(Maps.size())) return nullptr;
    if (cell.Row < 0 || cell.Row >= Rows || cell.Column < 0 || cell.Column >= Columns)
        return nullptr;
    return &Maps[static_cast<std::size_t>(cell.Deck)];
}

double TAnalysisResult::PeakDensity(const TCellPlace& cell) const {
    const TDeckMaps* maps = MapsOf(cell);
    return maps ? DensityOf(maps->PeakCount.At(cell.Row, cell.Column)) : 0.0;
}

double TAnalysisResult::SecondsAbove(const TCellPlace& cell) const {
    const TDeckMaps* maps = MapsOf(cell);
    return maps ? Seconds(maps->StepsAbove.At(cell.Row, cell.Column)) : 0.0;
}

double TAnalysisResult::Usage(const TCellPlace& cell) const {
    const TDeckMaps* maps = MapsOf(cell);
    return maps ? Seconds(static_cast<double>(maps->UsageSteps.At(cell.Row, cell.Column))) : 0.0;
}

bool TAnalysisResult::IsCongested(const TCellPlace& cell) const {
    if (!Duration) return false;
    return SecondsAbove(cell) > Settings.CongestionShare * *Duration;
}

TCurveTable TAnalysisResult::Curves(std::size_t maxPoints) const {
    // The saved count reaches the number of persons after the last step count, by
    // the end of this second at the latest.
    const int64_t v = StepsPerSecond;
    const int64_t seconds = LastStep < 0 ? 0 : (LastStep + v) / v;
    const auto intervals = static_cast<int64_t>(std::max<std::size_t>(maxPoints, 2) - 1);
    TCurveTable table;
    const int64_t w = std::max<int64_t>(1, (seconds + intervals - 1) / intervals);
    table.StepSeconds = w;
    table.Saved = Saved.Sample(w * v, static_cast<std::size_t>((seconds + w - 1) / w + 1));
    const auto full = std::find(table.Saved.begin(), table.Saved.end(), Persons);
    if (full != table.Saved.end()) table.Saved.erase(full + 1, table.Saved.end());
    const std::size_t count = table.Saved.size();
    table.Seconds.resize(count);
    for (std::size_t i = 0; i < count; ++i) table.Seconds[i] = static_cast<int64_t>(i) * w;
    table.Occupancy.reserve(Occupancy.size());
    for (const TStepCurve& curve : Occupancy) table.Occupancy.push_back(curve.Sample(w * v, count));
    return table;
}

}  // namespace orlex

namespace orlex {

double PeakFlow(const std::vector<double>& times, double window) {
    if (times.empty() || !(window > 0)) return 0;
    std::size_t best = 0;
    std::size_t first = 0;  // the first time inside (times[i] - window, times[i]]
    for (std::size_t i = 0; i < times.size(); ++i) {
        while (times[first] <= times[i] - window) ++first;
        // Equal times all count at the last of them.
        if (i + 1 < times.size() && times[i + 1] == times[i]) continue;
        best = std::max(best, i + 1 - first);
    }
    return static_cast<double>(best) / window;
}

double FlowAt(const std::vector<double>& times, double window, double t) {
    if (!(window > 0)) return 0;
    const auto end = std::upper_bound(times.begin(), times.end(), t);
    const auto begin = std::upper_bound(times.begin(), times.end(), t - window);
    return static_cast<double>(end - begin) / window;
}

std::optional<double> TAnalysisResult::ClearTime(int deck) const {
    if (deck < 0 || deck >= static_cast<int>(LastOccupiedSteps.size())) return std::nullopt;
    const int64_t last = LastOccupiedSteps[static_cast<std::size_t>(deck)];
    if (last < 0) return std::nullopt;
    return TimeOfStep(last + 1);
}

std::vector<std::size_t> BusiestExits(const std::vector<TExitResult>& exits, std::size_t most) {
    std::vector<std::size_t> order(exits.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    if (order.size() <= most) return order;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return exits[a].Persons() > exits[b].Persons();
    });
    order.resize(most);
    std::sort(order.begin(), order.end());
    return order;
}

}  // namespace orlex
