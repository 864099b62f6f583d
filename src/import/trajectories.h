// Trajectories read from another tool's output, before they become cells: persons
// with their positions frame by frame, in metres.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

namespace orlex::import {

// Bad input: the message names the file and, where it applies, the line or row.
class TImportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TSample {
    int64_t Frame = 0;
    double X = 0;  // metres
    double Y = 0;
    double Z = 0;
};

struct TPersonTrack {
    int64_t Id = 0;                // the source's id of the person
    std::vector<TSample> Samples;  // by frame, no frame twice
};

struct TTrajectorySet {
    std::string Source;  // the file read, for messages
    double Fps = 0;      // frames per second
    std::vector<TPersonTrack> Persons;
    // The walkable area as WKT polygons or multipolygons (their union counts);
    // empty when the source gives no geometry.
    std::vector<std::string> WalkableWkt;
    // What the reader left out or doubted, for the user.
    std::vector<std::string> Warnings;
};

// Sorts every person's samples by frame (persons by id) and refuses a frame given
// twice for one person. Readers call it when their rows came out of order.
void SortAndCheck(TTrajectorySet& set);

// For formats that give times in seconds: times[i][k] is the time of sample k of
// person i. Sets the frame rate from the shortest interval between distinct times
// (at most 1000 frames a second), every sample's frame, then sorts and checks as
// SortAndCheck. With fps given, the frames are of that rate instead and a person's
// samples that fall into one frame are one (the earliest counts). Throws
// TImportError.
void FramesFromTimes(TTrajectorySet& set, const std::vector<std::vector<double>>& times,
                     double fps = 0);

// Persons' samples gathered from rows in any order, each with its time in seconds,
// for FramesFromTimes: a person's first row adds it to the set.
class TTimedSamples {
public:
    explicit TTimedSamples(TTrajectorySet& set) : Set_(set) {}
    void Add(int64_t id, double seconds, const TSample& sample);
    bool Empty() const { return Times_.empty(); }
    // The frames of what was added (FramesFromTimes).
    void Finish(double fps = 0) { FramesFromTimes(Set_, Times_, fps); }

private:
    TTrajectorySet& Set_;
    std::unordered_map<int64_t, std::size_t> Index_;
    std::vector<std::vector<double>> Times_;
};

// Whether a number read as an id is whole and fits one.
bool IsWholeId(double value);

// A number with a fixed count of decimals, for messages.
std::string Decimal(double value, int decimals = 2);

}  // namespace orlex::import
