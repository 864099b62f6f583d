#include "floors.h"

#include <algorithm>
#include <cmath>

#include "trajectories.h"

namespace orlex::import {

namespace {

// More distinct heights than this (a spread of 100 km at 0.1 m) is no building.
constexpr std::size_t kMaxBins = 1000000;

}  // namespace

int TFloors::LevelOf(double z) const {
    if (Heights.empty()) return 0;
    std::size_t floor = 0;
    while (floor + 1 < Heights.size() && z > (Heights[floor] + Heights[floor + 1]) / 2) ++floor;
    return Levels[floor];
}

void TFloorFinder::Add(double z, double seconds, const std::string& source) {
    if (!std::isfinite(z) || std::abs(z) > 1e6)
        throw TImportError(source + ": a z value of " + Decimal(z) + " m is no floor height");
    TBin& bin = Time_[static_cast<int64_t>(std::floor(z / kBin))];
    bin.Seconds += seconds;
    bin.HeightSeconds += z * seconds;
    if (Time_.size() > kMaxBins)
        throw TImportError(source + ": the z values spread over more than " +
                           Decimal(kMaxBins * kBin / 1000) + " km; no floors can be found");
}

TFloors TFloorFinder::Find() const {
    TFloors floors;
    if (Time_.empty()) return floors;
    std::vector<std::pair<int64_t, double>> bins;
    bins.reserve(Time_.size());
    for (const auto& [bin, time] : Time_) bins.emplace_back(bin, time.Seconds);
    double largest = 0;
    for (const auto& [bin, time] : bins) largest = std::max(largest, time);
    const int64_t reach = static_cast<int64_t>(std::floor(kMinSpacing / 2 / kBin));
    std::vector<std::size_t> peaks;
    std::size_t lo = 0, hi = 0;
    for (std::size_t i = 0; i < bins.size(); ++i) {
        const auto [bin, time] = bins[i];
        while (bins[lo].first < bin - reach) ++lo;
        while (hi < bins.size() && bins[hi].first <= bin + reach) ++hi;
        // The highest within reach (the lower one of equals), well above the average
        // around it (stairs spread the time evenly, floors gather it), and not a
        // trace next to the busiest floor.
        bool peak = time >= 0.05 * largest;
        double around = 0;
        for (std::size_t k = lo; k < hi && peak; ++k) {
            if (k == i) continue;
            if (bins[k].second > time || (bins[k].second == time && k < i)) peak = false;
            around += bins[k].second;
        }
        if (peak && time < 2 * around / static_cast<double>(2 * reach)) peak = false;
        if (peak) peaks.push_back(i);
    }
    if (peaks.empty()) {
        // Heights spread evenly: one floor at the busiest height.
        std::size_t best = 0;
        for (std::size_t i = 0; i < bins.size(); ++i)
            if (bins[i].second > bins[best].second) best = i;
        peaks.push_back(best);
    }
    for (const std::size_t i : peaks) {
        // The time-weighted mean height of the bins close to the peak.
        double weight = 0, sum = 0;
        for (auto it = Time_.lower_bound(bins[i].first - 3);
             it != Time_.end() && it->first <= bins[i].first + 3; ++it) {
            weight += it->second.Seconds;
            sum += it->second.HeightSeconds;
        }
        floors.Heights.push_back(weight > 0 ? sum / weight : (bins[i].first + 0.5) * kBin);
        floors.Levels.push_back(static_cast<int>(floors.Levels.size()));
    }
    return floors;
}

void FitFloorsToDecks(TFloors& floors, int decks, const std::string& source) {
    const std::size_t count = floors.Heights.size();
    // One floor: the persons stay on the lowest deck.
    if (count <= 1 || static_cast<int>(count) == decks) return;
    const auto fail = [&] {
        std::string heights;
        for (const double h : floors.Heights) heights += (heights.empty() ? "" : ", ") + Decimal(h);
        throw TImportError(source + ": the persons' z values show " + std::to_string(count) +
                           " floors (at " + heights + " m), which do not fit the geometry's " +
                           std::to_string(decks) + " decks");
    };
    if (static_cast<int>(count) > decks) fail();
    // Fewer floors than decks: the floors lie at multiples of the smallest spacing,
    // the ground floor at z 0 (as our own export writes them).
    double spacing = INFINITY;
    for (std::size_t i = 1; i < count; ++i)
        spacing = std::min(spacing, floors.Heights[i] - floors.Heights[i - 1]);
    if (!(spacing > 0.5) || !std::isfinite(spacing)) fail();
    for (std::size_t i = 0; i < count; ++i) {
        const double level = floors.Heights[i] / spacing;
        const double whole = std::round(level);
        if (std::abs(level - whole) > 0.15 || whole < 0 || whole >= decks) fail();
        floors.Levels[i] = static_cast<int>(whole);
    }
}

}  // namespace orlex::import
