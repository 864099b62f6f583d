#include "quadgroups.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace orlex {

namespace {

constexpr int kQuadArrayFloats = 4 * 9;  // per quad: 4 x (colour, normal, position)
// Decks with more quads are streamed through a small buffer on every frame
// instead of being kept whole.
constexpr std::size_t kMaxKeptQuads = std::size_t{1} << 20;
constexpr std::size_t kStreamQuads = 4096;

void FillQuadArray(const TQuad* quads, std::size_t count, float* out) {
    for (std::size_t i = 0; i < count; ++i) {
        const TQuad& q = quads[i];
        for (const auto& v : q.Vertices) {
            *out++ = q.Color[0];
            *out++ = q.Color[1];
            *out++ = q.Color[2];
            *out++ = q.Normal[0];
            *out++ = q.Normal[1];
            *out++ = q.Normal[2];
            *out++ = v[0];
            *out++ = v[1];
            *out++ = v[2];
        }
    }
}

void DrawQuadArray(const float* data, std::size_t count) {
    constexpr GLsizei stride = 9 * sizeof(float);
    glColorPointer(3, GL_FLOAT, stride, data);
    glNormalPointer(GL_FLOAT, stride, data + 3);
    glVertexPointer(3, GL_FLOAT, stride, data + 6);
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(count * 4));
}

void StreamQuads(const TQuad* quads, std::size_t count) {
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    std::vector<float> buffer(std::min(count, kStreamQuads) * kQuadArrayFloats);
    for (std::size_t first = 0; first < count; first += kStreamQuads) {
        const std::size_t n = std::min(kStreamQuads, count - first);
        FillQuadArray(quads + first, n, buffer.data());
        DrawQuadArray(buffer.data(), n);
    }
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

}  // namespace

int QuadDirection(const TQuad& q) {
    for (int axis = 0; axis < 3; ++axis) {
        if (q.Normal[axis] == 1.0f && q.Normal[(axis + 1) % 3] == 0.0f &&
            q.Normal[(axis + 2) % 3] == 0.0f)
            return axis * 2;
        if (q.Normal[axis] == -1.0f && q.Normal[(axis + 1) % 3] == 0.0f &&
            q.Normal[(axis + 2) % 3] == 0.0f)
            return axis * 2 + 1;
    }
    return 6;
}

void DrawQuadsListed(const TDeck& deck) {
    for (const TQuad& q : deck.Quads) {
        glBegin(GL_QUADS);
        glNormal3f(q.Normal[0], q.Normal[1], q.Normal[2]);
        glColor3f(q.Color[0], q.Color[1], q.Color[2]);
        for (const auto& v : q.Vertices) glVertex3f(v[0], v[1], v[2]);
        glEnd();
    }
}

void TQuadGroups::Forget() {
    Deck_ = nullptr;
    Data_ = nullptr;
    Count_ = 0;
}

void TQuadGroups::Release() {
    for (const TGroup& g : Groups_)
        if (g.List) glDeleteLists(g.List, 1);
    Groups_.clear();
    Forget();
}

bool TQuadGroups::Build(const TQuad* quads, std::size_t count) {
    Release();
    float x0 = HUGE_VALF, x1 = -HUGE_VALF, y0 = HUGE_VALF, y1 = -HUGE_VALF;
    for (std::size_t i = 0; i < count; ++i) {
        for (const auto& v : quads[i].Vertices) {
            x0 = std::min(x0, v[0]);
            x1 = std::max(x1, v[0]);
            y0 = std::min(y0, v[1]);
            y1 = std::max(y1, v[1]);
        }
    }
    auto region = [](float v, float lo, float hi) {
        if (!(hi > lo)) return 0;
        const int r = static_cast<int>((v - lo) / (hi - lo) * kRegionsPerSide);
        return std::clamp(r, 0, kRegionsPerSide - 1);
    };
    constexpr int kKeys = kRegionsPerSide * kRegionsPerSide * 7;
    std::vector<std::vector<std::size_t>> members(kKeys);
    for (std::size_t i = 0; i < count; ++i) {
        const TQuad& q = quads[i];
        const float cx = (q.Vertices[0][0] + q.Vertices[2][0]) * 0.5f;
        const float cy = (q.Vertices[0][1] + q.Vertices[2][1]) * 0.5f;
        const int key =
            (region(cy, y0, y1) * kRegionsPerSide + region(cx, x0, x1)) * 7 + QuadDirection(q);
        members[static_cast<std::size_t>(key)].push_back(i);
    }
    std::vector<TQuad> gathered;
    for (int key = 0; key < kKeys; ++key) {
        const std::vector<std::size_t>& m = members[static_cast<std::size_t>(key)];
        if (m.empty()) continue;
        TGroup g;
        g.Direction = key % 7;
        const int axis = g.Direction < 6 ? g.Direction / 2 : 0;
        g.MinPlane = HUGE_VALF;
        g.MaxPlane = -HUGE_VALF;
        gathered.clear();
        for (std::size_t i : m) {
            gathered.push_back(quads[i]);
            for (const auto& v : quads[i].Vertices) {
                g.MinPlane = std::min(g.MinPlane, v[axis]);
                g.MaxPlane = std::max(g.MaxPlane, v[axis]);
            }
        }
        g.List = glGenLists(1);
        if (g.List == 0) {
            Release();
            return false;
        }
        glNewList(g.List, GL_COMPILE);
        StreamQuads(gathered.data(), gathered.size());
        glEndList();
        Groups_.push_back(g);
    }
    return true;
}

void TQuadGroups::Draw(const TDeck& deck, const double eye[3]) {
    const std::size_t count = deck.Quads.size();
    if (count == 0) return;
    const TQuad* quads = deck.Quads.data();
    if (count > kMaxKeptQuads) {
        StreamQuads(quads, count);
        return;
    }
    if (Deck_ != &deck || Data_ != quads || Count_ != count || Groups_.empty()) {
        if (!Build(quads, count)) {
            StreamQuads(quads, count);
            return;
        }
        Deck_ = &deck;
        Data_ = quads;
        Count_ = count;
    }
    const double slack = 1e-3 * (std::fabs(eye[0]) + std::fabs(eye[1]) + std::fabs(eye[2]) + 1.0);
    for (const TGroup& g : Groups_) {
        bool visible = true;
        if (g.Direction < 6) {
            const double e = eye[g.Direction / 2];
            // A face turns towards the eye when the eye is on its normal's side.
            visible = (g.Direction % 2 == 0) ? e > g.MinPlane - slack : e < g.MaxPlane + slack;
        }
        if (visible) glCallList(g.List);
    }
}

}  // namespace orlex
