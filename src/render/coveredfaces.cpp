#include "coveredfaces.h"

#include <algorithm>
#include <tuple>

#include "quadgroups.h"

namespace orlex {

namespace {

constexpr int kBoxQuads = 6;

// Whether q is the whole face of box [lo, hi] in direction d, its corners in an
// order that turns it outwards (counter-clockwise seen from outside).
bool IsBoxFace(const TQuad& q, int d, const float lo[3], const float hi[3]) {
    const int a = d / 2;
    const bool positive = d % 2 == 0;
    const int b = (a + 1) % 3, c = (a + 2) % 3;
    const float plane = positive ? hi[a] : lo[a];
    int corners = 0;  // bit per corner of the face's rectangle
    for (const auto& v : q.Vertices) {
        if (v[a] != plane) return false;
        const bool bHigh = v[b] == hi[b], cHigh = v[c] == hi[c];
        if ((!bHigh && v[b] != lo[b]) || (!cHigh && v[c] != lo[c])) return false;
        corners |= 1 << ((bHigh ? 1 : 0) + (cHigh ? 2 : 0));
    }
    if (corners != 0xF) return false;
    // Every edge runs along b or c (no crossed corners), so one cross product
    // gives the turn of the whole quad.
    for (int i = 0; i < 4; ++i) {
        const auto& p = q.Vertices[i];
        const auto& n = q.Vertices[(i + 1) % 4];
        if ((p[b] != n[b]) == (p[c] != n[c])) return false;
    }
    const auto& v0 = q.Vertices[0];
    const auto& v1 = q.Vertices[1];
    const auto& v2 = q.Vertices[2];
    const double turn = static_cast<double>(v1[b] - v0[b]) * (v2[c] - v1[c]) -
                        static_cast<double>(v1[c] - v0[c]) * (v2[b] - v1[b]);
    return positive ? turn > 0 : turn < 0;
}

bool IsBox(const TQuad* q, TBlockBox& box) {
    int seen = 0;
    for (int k = 0; k < kBoxQuads; ++k) {
        const int d = QuadDirection(q[k]);
        if (d >= 6 || (seen & (1 << d))) return false;
        seen |= 1 << d;
    }
    for (int a = 0; a < 3; ++a) {
        box.Min[a] = q[0].Vertices[0][a];
        box.Max[a] = q[0].Vertices[0][a];
    }
    for (int k = 0; k < kBoxQuads; ++k) {
        for (const auto& v : q[k].Vertices) {
            for (int a = 0; a < 3; ++a) {
                box.Min[a] = std::min(box.Min[a], v[a]);
                box.Max[a] = std::max(box.Max[a], v[a]);
            }
        }
    }
    for (int a = 0; a < 3; ++a)
        if (!(box.Min[a] < box.Max[a])) return false;  // flat, or not a number
    for (int k = 0; k < kBoxQuads; ++k)
        if (!IsBoxFace(q[k], QuadDirection(q[k]), box.Min, box.Max)) return false;
    return true;
}

// The span along the other floor axis that a box covers of a side plane: the
// boxes starting (Side 0) or ending (Side 1) at Plane on Axis, of one bottom
// and top.
struct TSpan {
    int Axis, Side;
    float Plane, Bottom, Top;
    float Start, End;
    float ReachEnd;  // the largest End of the spans of its plane up to this one
    auto Key() const { return std::tie(Axis, Side, Plane, Bottom, Top); }
};

class TSpanIndex {
public:
    explicit TSpanIndex(const std::vector<TBlockBox>& boxes) {
        Spans_.reserve(boxes.size() * 4);
        for (const TBlockBox& b : boxes) {
            for (int axis = 0; axis < 2; ++axis) {
                const int other = 1 - axis;
                for (int side = 0; side < 2; ++side) {
                    const float plane = side == 0 ? b.Min[axis] : b.Max[axis];
                    Spans_.push_back(
                        {axis, side, plane, b.Min[2], b.Max[2], b.Min[other], b.Max[other], 0.0f});
                }
            }
        }
        std::sort(Spans_.begin(), Spans_.end(), [](const TSpan& x, const TSpan& y) {
            return std::tie(x.Axis, x.Side, x.Plane, x.Bottom, x.Top, x.Start) <
                   std::tie(y.Axis, y.Side, y.Plane, y.Bottom, y.Top, y.Start);
        });
        for (std::size_t i = 0; i < Spans_.size(); ++i) {
            TSpan& s = Spans_[i];
            s.ReachEnd = s.End;
            if (i > 0 && Spans_[i - 1].Key() == s.Key())
                s.ReachEnd = std::max(s.End, Spans_[i - 1].ReachEnd);
        }
    }

    // Whether the spans of one plane cover [start, end] without a gap.
    bool Covers(const TSpan& query) const {
        auto lessKey = [](const TSpan& x, const TSpan& y) { return x.Key() < y.Key(); };
        const auto [first, last] = std::equal_range(Spans_.begin(), Spans_.end(), query, lessKey);
        float reached = query.Start;
        while (reached < query.End) {
            // The spans that start at or before the covered part's end.
            const auto after = std::upper_bound(
                first, last, reached, [](float v, const TSpan& s) { return v < s.Start; });
            if (after == first) return false;
            const float next = std::prev(after)->ReachEnd;
            if (!(next > reached)) return false;
            reached = next;
        }
        return true;
    }

private:
    std::vector<TSpan> Spans_;
};

}  // namespace

std::vector<TBlockBox> FindBlockBoxes(const TQuad* quads, std::size_t count) {
    std::vector<TBlockBox> boxes;
    std::size_t i = 0;
    while (i + kBoxQuads <= count) {
        TBlockBox box{};
        if (IsBox(quads + i, box)) {
            box.First = i;
            boxes.push_back(box);
            i += kBoxQuads;
        } else {
            ++i;
        }
    }
    return boxes;
}

TCoveredFaces FindCoveredFaces(const TQuad* quads, std::size_t count) {
    TCoveredFaces result;
    result.Covered.assign(count, 0);
    const std::vector<TBlockBox> boxes = FindBlockBoxes(quads, count);
    if (boxes.empty()) return result;
    result.Bottom = boxes.front().Min[2];
    result.Top = boxes.front().Max[2];
    for (const TBlockBox& b : boxes) {
        result.Bottom = std::min(result.Bottom, b.Min[2]);
        result.Top = std::max(result.Top, b.Max[2]);
    }
    const TSpanIndex index(boxes);
    for (const TBlockBox& b : boxes) {
        for (std::size_t k = 0; k < kBoxQuads; ++k) {
            const int d = QuadDirection(quads[b.First + k]);
            if (d >= 4) continue;  // top and bottom stay
            const int axis = d / 2, other = 1 - axis;
            const bool positive = d % 2 == 0;
            // A face turned to +x is covered by the boxes that start where it lies.
            TSpan query{axis,
                        positive ? 0 : 1,
                        positive ? b.Max[axis] : b.Min[axis],
                        b.Min[2],
                        b.Max[2],
                        b.Min[other],
                        b.Max[other],
                        0.0f};
            if (index.Covers(query)) {
                result.Covered[b.First + k] = 1;
                ++result.Count;
            }
        }
    }
    return result;
}

}  // namespace orlex
