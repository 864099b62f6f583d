#include "trajectories.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace orlex::import {

std::string Decimal(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

void SortAndCheck(TTrajectorySet& set) {
    std::sort(set.Persons.begin(), set.Persons.end(),
              [](const TPersonTrack& a, const TPersonTrack& b) { return a.Id < b.Id; });
    for (TPersonTrack& person : set.Persons) {
        std::stable_sort(person.Samples.begin(), person.Samples.end(),
                         [](const TSample& a, const TSample& b) { return a.Frame < b.Frame; });
        for (std::size_t k = 1; k < person.Samples.size(); ++k)
            if (person.Samples[k].Frame == person.Samples[k - 1].Frame)
                throw TImportError(set.Source + ": person " + std::to_string(person.Id) +
                                   " has frame " + std::to_string(person.Samples[k].Frame) +
                                   " twice");
    }
}

void TTimedSamples::Add(int64_t id, double seconds, const TSample& sample) {
    const auto [it, added] = Index_.try_emplace(id, Set_.Persons.size());
    if (added) {
        Set_.Persons.push_back({id, {}});
        Times_.emplace_back();
    }
    Set_.Persons[it->second].Samples.push_back(sample);
    Times_[it->second].push_back(seconds);
}

bool IsWholeId(double value) {
    return std::abs(value) <= 9e15 && std::trunc(value) == value;
}

void FramesFromTimes(TTrajectorySet& set, const std::vector<std::vector<double>>& times,
                     double fps) {
    double first = INFINITY;
    for (const std::vector<double>& t : times)
        for (const double v : t) first = std::min(first, v);
    if (fps > 0) {
        set.Fps = fps;
        for (std::size_t i = 0; i < set.Persons.size(); ++i) {
            std::vector<TSample>& samples = set.Persons[i].Samples;
            std::vector<std::size_t> order(samples.size());
            for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
            std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
                return times[i][a] < times[i][b];
            });
            std::vector<TSample> sorted;
            sorted.reserve(samples.size());
            for (const std::size_t k : order) {
                TSample s = samples[k];
                s.Frame = std::llround((times[i][k] - first) * fps);
                if (sorted.empty() || sorted.back().Frame != s.Frame) sorted.push_back(s);
            }
            samples = std::move(sorted);
        }
        SortAndCheck(set);
        return;
    }
    std::vector<double> all;
    for (const std::vector<double>& t : times) all.insert(all.end(), t.begin(), t.end());
    std::sort(all.begin(), all.end());
    double shortest = INFINITY;
    for (std::size_t k = 1; k < all.size(); ++k)
        if (all[k] - all[k - 1] > 1e-6) shortest = std::min(shortest, all[k] - all[k - 1]);
    fps = std::isfinite(shortest) ? std::min(1000.0, 1 / shortest) : 1.0;
    if (std::abs(fps - std::round(fps)) < 1e-3 * fps) fps = std::round(fps);
    set.Fps = fps;
    for (std::size_t i = 0; i < set.Persons.size(); ++i)
        for (std::size_t k = 0; k < set.Persons[i].Samples.size(); ++k)
            set.Persons[i].Samples[k].Frame = std::llround((times[i][k] - first) * fps);
    SortAndCheck(set);
}

}  // namespace orlex::import
