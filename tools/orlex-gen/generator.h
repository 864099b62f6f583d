// orlex-gen: a deterministic generator of plausible 3D log files (ship-like decks,
// persons walking to the muster areas). Plain C++, no toolkit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orlex::gen {

struct TGenOptions {
    int Decks = 3;
    int Columns = 160;
    int Rows = 48;
    int Persons = 300;
    int Steps = 2000;  // longest track
    uint64_t Seed = 1;
    int VMax = 4;
    int TOff = 0;
    std::string Output;  // empty: standard output
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

// Writes the whole file to sink, streaming. False when the sink failed.
bool Generate(const TGenOptions& options, ISink& sink);

// Column/row change of direction codes 0..8.
inline constexpr int kDirColumn[9] = {0, 0, 1, 1, 1, 0, -1, -1, -1};
inline constexpr int kDirRow[9] = {0, -1, -1, 0, 1, 1, 1, 0, -1};

}  // namespace orlex::gen
