// Small plane geometry in metres for measurement lines and areas: segment
// crossings, polygon areas and point-in-polygon tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "measure.h"

namespace orlex::geometry {

// The z of the cross product (b - a) x (c - a): > 0 when c lies left of a->b.
inline double Cross(const TMetrePoint& a, const TMetrePoint& b, const TMetrePoint& c) {
    return (b.X - a.X) * (c.Y - a.Y) - (b.Y - a.Y) * (c.X - a.X);
}

inline int Sign(double v) {
    return (v > 0) - (v < 0);
}

// Whether c, collinear with a and b, lies within their bounding box.
inline bool Within(const TMetrePoint& a, const TMetrePoint& b, const TMetrePoint& c) {
    return std::min(a.X, b.X) <= c.X && c.X <= std::max(a.X, b.X) && std::min(a.Y, b.Y) <= c.Y &&
           c.Y <= std::max(a.Y, b.Y);
}

// Whether the closed segments p1-p2 and q1-q2 share a point (touching included).
inline bool SegmentsIntersect(const TMetrePoint& p1, const TMetrePoint& p2, const TMetrePoint& q1,
                              const TMetrePoint& q2) {
    const int d1 = Sign(Cross(q1, q2, p1));
    const int d2 = Sign(Cross(q1, q2, p2));
    const int d3 = Sign(Cross(p1, p2, q1));
    const int d4 = Sign(Cross(p1, p2, q2));
    if (d1 * d2 < 0 && d3 * d4 < 0) return true;
    if (d1 == 0 && Within(q1, q2, p1)) return true;
    if (d2 == 0 && Within(q1, q2, p2)) return true;
    if (d3 == 0 && Within(p1, p2, q1)) return true;
    if (d4 == 0 && Within(p1, p2, q2)) return true;
    return false;
}

// The signed area (counter-clockwise positive) of a polygon given by its corners.
inline double SignedArea(const std::vector<TMetrePoint>& polygon) {
    double twice = 0;
    const std::size_t n = polygon.size();
    for (std::size_t i = 0; i < n; ++i) {
        const TMetrePoint& a = polygon[i];
        const TMetrePoint& b = polygon[(i + 1) % n];
        twice += a.X * b.Y - b.X * a.Y;
    }
    return twice / 2;
}

inline double Area(const std::vector<TMetrePoint>& polygon) {
    return std::abs(SignedArea(polygon));
}

// Whether two edges of the polygon other than neighbours meet, or neighbours
// overlap beyond their shared corner.
inline bool SelfIntersects(const std::vector<TMetrePoint>& polygon) {
    const std::size_t n = polygon.size();
    for (std::size_t i = 0; i < n; ++i) {
        const TMetrePoint& a = polygon[i];
        const TMetrePoint& b = polygon[(i + 1) % n];
        for (std::size_t j = i + 1; j < n; ++j) {
            const TMetrePoint& c = polygon[j];
            const TMetrePoint& d = polygon[(j + 1) % n];
            const bool next = j == i + 1;
            const bool wrap = i == 0 && j == n - 1;
            if (next || wrap) {
                // Neighbours share one corner; they must not fold back on each other.
                const TMetrePoint& shared = next ? b : a;
                const TMetrePoint& p = next ? a : b;
                const TMetrePoint& q = next ? d : c;
                if (Cross(shared, p, q) == 0 &&
                    (p.X - shared.X) * (q.X - shared.X) + (p.Y - shared.Y) * (q.Y - shared.Y) > 0)
                    return true;
                continue;
            }
            if (SegmentsIntersect(a, b, c, d)) return true;
        }
    }
    return false;
}

// Whether p lies inside the polygon (even-odd rule; points on the boundary may go
// either way, consistently for one polygon).
inline bool Contains(const std::vector<TMetrePoint>& polygon, double x, double y) {
    bool inside = false;
    const std::size_t n = polygon.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const TMetrePoint& a = polygon[i];
        const TMetrePoint& b = polygon[j];
        if ((a.Y > y) != (b.Y > y)) {
            const double xCross = a.X + (y - a.Y) * (b.X - a.X) / (b.Y - a.Y);
            if (x < xCross) inside = !inside;
        }
    }
    return inside;
}

}  // namespace orlex::geometry
