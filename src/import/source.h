// Persons one after the other, so that a large sorted file never has to be held
// whole: a first pass gathers what the grid and the step rate need (the summary),
// a second one converts person by person.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "floors.h"
#include "trajectories.h"

namespace orlex::import {

struct TTrajectorySummary;

class IPersonSource {
public:
    virtual ~IPersonSource() = default;
    // The file read, for messages.
    virtual const std::string& Name() const = 0;
    virtual double Fps() const = 0;
    // The walkable area the source gives itself (WKT), and what its reader doubted.
    virtual const std::vector<std::string>& WalkableWkt() const = 0;
    virtual const std::vector<std::string>& Warnings() const = 0;
    // Back to the first person.
    virtual void Rewind() = 0;
    // The next person with its samples by frame; false after the last. Throws
    // TImportError.
    virtual bool Next(TPersonTrack& person) = 0;
    // The summary where the source made it while checking its input, else null.
    virtual const TTrajectorySummary* Summarized(bool floorsFromZ) const {
        (void)floorsFromZ;
        return nullptr;
    }
};

// A trajectory set held in memory, as a source.
class TSetSource final : public IPersonSource {
public:
    explicit TSetSource(const TTrajectorySet& set) : Set_(set) {}
    const std::string& Name() const override { return Set_.Source; }
    double Fps() const override { return Set_.Fps; }
    const std::vector<std::string>& WalkableWkt() const override { return Set_.WalkableWkt; }
    const std::vector<std::string>& Warnings() const override { return Set_.Warnings; }
    void Rewind() override { Next_ = 0; }
    bool Next(TPersonTrack& person) override {
        if (Next_ >= Set_.Persons.size()) return false;
        person = Set_.Persons[Next_++];
        return true;
    }

private:
    const TTrajectorySet& Set_;
    std::size_t Next_ = 0;
};

// What one pass over all persons finds.
struct TTrajectorySummary {
    double MinX = INFINITY, MinY = INFINITY, MaxX = -INFINITY, MaxY = -INFINITY;
    int64_t FirstFrame = INT64_MAX;
    int64_t Persons = 0;      // with at least one sample
    double LastFrameSum = 0;  // of every person's last frame
    // The fastest move along one axis (m/s), tracking errors apart.
    double FastestAxis = 0;
    // The floors the persons' z values cluster at; empty unless asked for.
    TFloors Floors;

    bool Empty() const { return Persons == 0; }
    void AddPoint(double x, double y) {
        MinX = std::min(MinX, x);
        MinY = std::min(MinY, y);
        MaxX = std::max(MaxX, x);
        MaxY = std::max(MaxY, y);
    }
};

// Gathers the summary person by person.
class TSummaryBuilder {
public:
    TSummaryBuilder(double fps, bool floorsFromZ, const std::string& source)
        : Fps_(fps), FloorsFromZ_(floorsFromZ), Source_(source) {}
    void Add(const TPersonTrack& person);
    TTrajectorySummary Finish();

private:
    double Fps_;
    bool FloorsFromZ_;
    const std::string& Source_;
    TTrajectorySummary Summary_;
    TFloorFinder Finder_;
};

// Reads every person of source once (then rewinds it), unless the source made the
// summary already. With floorsFromZ the floors are found from the persons' z
// values. Throws TImportError.
TTrajectorySummary Summarize(IPersonSource& source, bool floorsFromZ);

}  // namespace orlex::import
