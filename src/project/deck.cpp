#include "deck.h"

#include <cmath>

#include "textcodec.h"

namespace orlex {

uint8_t CellCodeOf(char c) {
    switch (c) {
        case '0':
            return kCodeWhite;
        case '1':
            return kCodeBlock;
        case '2':
            return kCodeBlue;
        case '3':
            return kCodeGrey;
        case '4':
            return kCodeGreen;
        case '5':
            return kCodeRed;
        default:
            return kCodeVoid;
    }
}

bool IsCountedCell(char c) {
    return c >= '0' && c <= '5';
}

void TDeck::CreateGrid(int columns, int rows) {
    Cells.clear();
    GridColumns_ = columns > 0 && rows > 0 ? columns : 0;
    GridRows_ = columns > 0 && rows > 0 ? rows : 0;
    Cells.assign(static_cast<std::size_t>(GridColumns_) * static_cast<std::size_t>(GridRows_),
                 TCell{});
    Cells.shrink_to_fit();
}

TCell* TDeck::CellAt(int row, int column) {
    if (row < 0 || row >= GridRows_ || column < 0 || column >= GridColumns_) return nullptr;
    return &Cells[static_cast<std::size_t>(row) * GridColumns_ + column];
}

const TCell* TDeck::CellAt(int row, int column) const {
    return const_cast<TDeck*>(this)->CellAt(row, column);
}

std::string TDeck::GetCaption() const {
    return DecodeCaption(Caption);
}

namespace {

struct TColor {
    float R, G, B;
};

TColor FlatColor(uint8_t code) {
    switch (code) {
        case kCodeBlue:
            return {0.78f, 0.78f, 1.0f};
        case kCodeGrey:
            return {0.66f, 0.66f, 0.66f};
        case kCodeGreen:
            return {0.63f, 1.0f, 0.63f};
        case kCodeRed:
            return {1.0f, 0.63f, 0.63f};
        default:
            return {1.0f, 1.0f, 1.0f};
    }
}

struct TV {
    float X, Y, Z;
};

TQuad MakeQuad(TColor c, TV a, TV b, TV d, TV e, TV n) {
    TQuad q;
    q.Color[0] = c.R, q.Color[1] = c.G, q.Color[2] = c.B;
    const TV v[4] = {a, b, d, e};
    for (int i = 0; i < 4; ++i) {
        q.Vertices[i][0] = v[i].X;
        q.Vertices[i][1] = v[i].Y;
        q.Vertices[i][2] = v[i].Z;
    }
    q.Normal[0] = n.X, q.Normal[1] = n.Y, q.Normal[2] = n.Z;
    return q;
}

void AppendRectangle(std::vector<TQuad>& quads, uint8_t code, float x0, float x1, float y0,
                     float y1, float h) {
    if (code != kCodeBlock) {
        quads.push_back(MakeQuad(FlatColor(code), {x0, y0, 0}, {x0, y1, 0}, {x1, y1, 0},
                                 {x1, y0, 0}, {0, 0, 1}));
        return;
    }
    const TColor dark{0.2f, 0.2f, 0.2f}, side{0.8f, 0.8f, 0.8f}, end{0.75f, 0.75f, 0.75f};
    quads.push_back(MakeQuad(dark, {x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}, {0, 0, -1}));
    quads.push_back(MakeQuad(side, {x0, y0, h}, {x0, y0, 0}, {x0, y1, 0}, {x0, y1, h}, {-1, 0, 0}));
    quads.push_back(MakeQuad(side, {x1, y0, h}, {x1, y1, h}, {x1, y1, 0}, {x1, y0, 0}, {1, 0, 0}));
    quads.push_back(MakeQuad(end, {x0, y0, h}, {x1, y0, h}, {x1, y0, 0}, {x0, y0, 0}, {0, 1, 0}));
    quads.push_back(MakeQuad(end, {x0, y1, h}, {x0, y1, 0}, {x1, y1, 0}, {x1, y1, h}, {0, -1, 0}));
    quads.push_back(MakeQuad(dark, {x0, y0, h}, {x0, y1, h}, {x1, y1, h}, {x1, y0, h}, {0, 0, 1}));
}

}  // namespace

void TDeck::BuildQuadList(int columns, int rows, IProgress& progress) {
    Quads = std::vector<TQuad>();
    // The scan covers the part of the project's grid that this deck really holds.
    const int cols = columns < GridColumns_ ? columns : GridColumns_;
    const int rowCount = rows < GridRows_ ? rows : GridRows_;
    if (cols <= 0 || rowCount <= 0) {
        Quads.shrink_to_fit();
        return;
    }
    const int hx = columns / 2;
    const int hy = rows / 2;
    const int limit = MergeLimit > 0 ? MergeLimit : 1;
    const double total = static_cast<double>(columns) * static_cast<double>(rows);
    double examined = 0;  // running count behind the progress bar
    int lastPosition = -1;
    struct TRectangle {
        int X0, X1, Y0, Y1;
        uint8_t Code;
    };
    std::vector<TRectangle> rectangles;
    std::size_t quadTotal = 0;
    auto code = [&](int r, int c) {
        return Cells[static_cast<std::size_t>(r) * GridColumns_ + c].Code;
    };

    for (int i = 0; i < rowCount; ++i) {
        progress.Show();
        int n = 0;
        while (n < cols) {
            TCell& cell = Cells[static_cast<std::size_t>(i) * GridColumns_ + n];
            if (cell.Code == kCodeVoid || cell.Covered) {
                ++n;
                continue;
            }
            const uint8_t v = cell.Code;
            const int x0 = n, y0 = i;
            int x1 = x0;
            while (x1 + 1 < cols && x1 + 1 - x0 < limit && code(i, x1 + 1) == v) ++x1;
            examined += 1 + (x1 - x0);
            int y1 = y0;
            for (int r = y0 + 1; r < rowCount && r - y0 < limit; ++r) {
                int c = x0;
                while (c <= x1 && code(r, c) == v) ++c;
                // Cells compared in this row, up to and including the first difference, less 1.
                examined += (c <= x1 ? c - x0 + 1 : c - x0) - 1;
                if (c <= x1) break;
                y1 = r;
            }
            for (int r = y0; r <= y1; ++r)
                for (int c = x0; c <= x1; ++c)
                    Cells[static_cast<std::size_t>(r) * GridColumns_ + c].Covered = true;
            rectangles.push_back({x0, x1, y0, y1, v});
            quadTotal += v == kCodeBlock ? 6 : 1;
            const int position = static_cast<int>(examined * 100.0 / total);
            if (position != lastPosition) {
                lastPosition = position;
                progress.SetPosition(position);
                progress.ProcessEvents();
            }
            n = x1 + 1;
        }
    }
    // The list is made in one allocation of exactly its size.
    Quads.reserve(quadTotal);
    for (const TRectangle& r : rectangles)
        AppendRectangle(Quads, r.Code, static_cast<float>(r.X0 - hx),
                        static_cast<float>(r.X1 + 1 - hx), static_cast<float>(hy - r.Y0),
                        static_cast<float>(hy - (r.Y1 + 1)), BlockHeight);
}

void TDeck::PlaceDefaultLights(int xmax, int ymax) {
    int nx = xmax / LightSpacing - 1;
    int ny = ymax / LightSpacing - 1;
    if (nx < 1) nx = 1;
    if (ny < 1) ny = 1;
    int toggle = 0;
    while (int64_t{nx} * ny > kLightSlots) {
        // Once one side is down to 1 the other only shrinks: go there at once
        // (a huge deck would otherwise take millions of rounds).
        if (ny == 1) {
            nx = kLightSlots;
            break;
        }
        if (nx == 1) {
            ny = kLightSlots;
            break;
        }
        if (toggle == 0) {
            toggle = 1;
            if (ny > 1) --ny;
        } else {
            toggle = 0;
            if (nx > 1) --nx;
        }
    }
    for (int i = 1; i <= ny; ++i) {
        for (int j = 1; j <= nx; ++j) {
            const int x = (xmax / (nx + 1)) * j - xmax / 2;
            const int y = (ymax / (ny + 1)) * i - ymax / 2;
            AddLightAt(static_cast<float>(x), static_cast<float>(y));
        }
    }
}

namespace {
int64_t LightDistance(const TLights& light, float x, float y) {
    const double dx = static_cast<double>(x) - light.Position[0];
    const double dy = static_cast<double>(y) - light.Position[1];
    const double d = std::sqrt(dx * dx + dy * dy);
    return d < 9.0e18 ? static_cast<int64_t>(d) : INT64_MAX;
}
}  // namespace

void TDeck::AddLightAt(float x, float y) {
    int on = 0;
    for (const TLights& light : Lights) on += light.On ? 1 : 0;
    LightsOn = on;
    int target = 0;
    if (on == kLightSlots) {
        int64_t best = LightDistance(Lights[0], x, y);
        for (int k = 1; k < kLightSlots; ++k) {
            const int64_t d = LightDistance(Lights[k], x, y);
            if (d < best) best = d, target = k;
        }
    } else {
        while (Lights[target].On) ++target;
        Lights[target].On = true;
        ++LightsOn;
    }
    Lights[target].Position[0] = x;
    Lights[target].Position[1] = y;
}

void TDeck::RemoveLightNear(float x, float y) {
    int chosen = -1;
    int64_t best = 0;
    for (int k = 0; k < kLightSlots; ++k) {
        if (!Lights[k].On) continue;
        const int64_t d = LightDistance(Lights[k], x, y);
        if (chosen < 0 || d < best) chosen = k, best = d;
    }
    if (chosen < 0) return;
    --LightsOn;
    Lights[chosen].Position[0] = 0;
    Lights[chosen].Position[1] = 0;
    Lights[chosen].On = false;
}

}  // namespace orlex
