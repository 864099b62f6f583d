// orlex-gen: a deterministic generator of plausible 3D log files (ship-like decks,
// persons walking to the muster areas). Plain C++, no toolkit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orlex::gen {

// How the persons move: the classic random walk down the distance maps, kept for
// the benchmark file, or the cellular automaton with exclusion and queues.
enum class TModel { Classic, Ca };

struct TGenOptions {
    TModel Model = TModel::Ca;
    int Decks = 3;
    int Columns = 160;
    int Rows = 48;
    int Persons = 300;
    int Steps = 2000;   // longest track (classic); the safety cap of the automaton
    uint64_t Seed = 1;  // the case; with the automaton also the runs' seeds
    int Runs = 1;       // runs of the case (automaton only)
    int Run = 1;        // which run this file is, 1..Runs
    // The automaton's population: response time in seconds and walking speed in m/s,
    // uniform between the bounds.
    double ResponseMin = 30;
    double ResponseMax = 300;
    double SpeedMin = 0.6;
    double SpeedMax = 1.4;
    int VMax = 4;
    int TOff = 0;
    std::string Output;  // empty: standard output; with a "%02d" field for runs
};

// Bounds of the options; the product of decks, columns and rows is bounded too.
inline constexpr int kMinColumns = 16;
inline constexpr int kMinRows = 8;
inline constexpr int kMaxSide = 100000;
inline constexpr int kMaxDecks = 1000;
inline constexpr int64_t kMaxCells = int64_t{1} << 25;
inline constexpr int kMaxPersons = 10000000;
inline constexpr int kMaxSteps = 100000000;
inline constexpr int kMaxVMax = 1000;
inline constexpr int kMaxRuns = 1000;
inline constexpr double kMaxResponse = 86400;  // seconds
inline constexpr double kMaxSpeed = 10;        // m/s
inline constexpr double kCellMetres = 0.4;     // side of a cell, as the analysis assumes

// The file name of run k: the first "%d" or "%0Nd" field of pattern replaced by k,
// "%%" by "%". Nullopt when pattern holds no such field, or a "%" of any other kind.
std::optional<std::string> RunFileName(const std::string& pattern, int run);

struct TParseResult {
    bool Ok = false;
    bool Help = false;
    std::string Error;  // set when !Ok
    TGenOptions Options;
};

// Applies a named preset ("sample", "large"); false for an unknown name.
bool ApplyProfile(const std::string& name, TGenOptions& options);
// Parses the arguments after the program name. A --profile sets the base values;
// every explicit option overrides it, wherever it stands.
TParseResult ParseArguments(const std::vector<std::string>& args);
std::string UsageText();

// Where the generated text goes.
class ISink {
public:
    virtual ~ISink() = default;
    // False when the data could not be written.
    virtual bool Write(const char* data, std::size_t size) = 0;
};

class TStringSink final : public ISink {
public:
    std::string Text;
    bool Write(const char* data, std::size_t size) override {
        Text.append(data, size);
        return true;
    }
};

// True for the characters a person may stand on: "0", "2", "3", "4" and "5".
inline bool IsWalkable(char c) {
    return c == '0' || (c >= '2' && c <= '5');
}

// The ship: every deck's grid of cell characters and the routes towards the exits.
class TShip {
public:
    TShip(int columns, int rows, int decks, uint64_t seed);

    int Columns() const { return Columns_; }
    int Rows() const { return Rows_; }
    int Decks() const { return Decks_; }
    // Cell character of deck z, row r, column c; "." outside the grid.
    char At(int z, int r, int c) const;
    const std::string& Grid(int z) const { return Grids_[z]; }
    const std::string& Caption(int z) const { return Captions_[z]; }
    // Decks with muster areas ("4"); persons elsewhere change decks by the stairs.
    bool IsExitDeck(int z) const { return ExitDeck_[z]; }
    // The exit deck that persons of deck z make for.
    int TargetDeck(int z) const;
    // Steps to the nearest target of deck z (muster area on exit decks, stairs
    // elsewhere) from cell index; -1 when none can be reached.
    int32_t Distance(int z, std::size_t cell) const { return Dist_[z][cell]; }
    // True when a person at (c, r) on deck z may take one step in direction d (1..8):
    // the target is walkable and a diagonal does not cut a wall corner.
    bool CanStep(int z, int c, int r, int d) const;

private:
    void PaintDeck(int z, uint64_t seed);
    void ComputeDistances(int z);

    int Columns_;
    int Rows_;
    int Decks_;
    std::vector<std::string> Grids_;
    std::vector<std::string> Captions_;
    std::vector<bool> ExitDeck_;
    std::vector<std::vector<int32_t>> Dist_;
    std::vector<bool> Inside_;    // inside the hull
    std::vector<bool> Interior_;  // inside and not the hull wall
    std::vector<int> Corridors_;  // first column of every transverse corridor
    std::vector<int> Stairs_;     // first column of every stair well
    int SternEnd_ = 0;            // first column after the open stern area
};

// The cell characters of one deck (row by row), as the generator lays it out for
// a ship of `levels` decks; used by the benchmarks for plausible grids.
std::string MakeDeckGrid(int columns, int rows, int level, int levels, uint64_t seed);

// What Generate did: Ok, or why not. The automaton refuses a case it cannot finish
// (persons that cannot reach a muster area, or still on their way at the cap).
struct TGenStatus {
    bool Ok = true;
    std::string Error;     // set when !Ok
    int64_t LastStep = 0;  // the automaton's longest track, in steps
    explicit operator bool() const { return Ok; }
};

// Writes the whole file to sink. The classic model streams; the automaton runs the
// whole evacuation first, so a refused case writes nothing.
TGenStatus Generate(const TGenOptions& options, ISink& sink);

// Column/row change of direction codes 0..8.
inline constexpr int kDirColumn[9] = {0, 0, 1, 1, 1, 0, -1, -1, -1};
inline constexpr int kDirRow[9] = {0, -1, -1, 0, 1, 1, 1, 0, -1};

}  // namespace orlex::gen
