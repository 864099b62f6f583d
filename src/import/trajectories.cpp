#include "trajectories.h"

#include <algorithm>
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

}  // namespace orlex::import
