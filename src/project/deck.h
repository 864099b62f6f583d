// A deck (level): its cell grid, its quad list and its eight light slots.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "interfaces.h"
#include "lights.h"

namespace orlex {

// Cell codes; they are compared for equality only.
enum : uint8_t {
    kCodeWhite = 0,
    kCodeBlock = 1,
    kCodeVoid = 4,
    kCodeGreen = 8,
    kCodeRed = 16,
    kCodeGrey = 32,
    kCodeBlue = 64,
};

// Code of a cell character of the file: "0" to "5", or void for any other.
uint8_t CellCodeOf(char c);
// True for "0" to "5", the characters that count as cells.
bool IsCountedCell(char c);

struct TCell {
    bool Covered = false;
    // Cells that no cell data sets stay void and draw nothing.
    uint8_t Code = kCodeVoid;
};

// One coloured quadrilateral: 18 consecutive floats.
struct TQuad {
    float Color[3];
    float Vertices[4][3];
    float Normal[3];
};
static_assert(sizeof(TQuad) == 18 * sizeof(float));

class TDeck {
public:
    TDeck() = default;

    // The number of quads in the list; it can never differ from Quads.size().
    int QuadCount() const { return static_cast<int>(Quads.size()); }
    int CellCount = 0;
    int MergeLimit = 10;
    int LightsOn = 0;
    float BlockHeight = 3.0f;
    // The level's name as written in the file (8-bit text); see GetCaption().
    std::string Caption;
    // Row by row: the cell in row r, column c is Cells[r * GridColumns + c].
    std::vector<TCell> Cells;
    std::vector<TQuad> Quads;
    TLights Lights[kLightSlots];

    // Creates a grid of columns x rows void, uncovered cells (none when a side is <= 0).
    void CreateGrid(int columns, int rows);
    int GridColumns() const { return GridColumns_; }
    int GridRows() const { return GridRows_; }
    TCell* CellAt(int row, int column);
    const TCell* CellAt(int row, int column) const;

    // The caption as UTF-8 text (decoded from UTF-8 or Windows-1252).
    std::string GetCaption() const;

    // Reduces the grid to Quads. columns/rows are the project's XMax/YMax; only the
    // part that lies inside this deck's own grid is scanned.
    void BuildQuadList(int columns, int rows, IProgress& progress);

    void PlaceDefaultLights(int xmax, int ymax);
    void AddLightAt(float x, float y);
    void RemoveLightNear(float x, float y);

private:
    int GridColumns_ = 0;
    int GridRows_ = 0;
};

}  // namespace orlex
