#include "quadgroups.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "coveredfaces.h"
#include "screenmap.h"

namespace orlex {

namespace {

constexpr int kQuadArrayFloats = 4 * 9;  // per quad: 4 x (colour, normal, position)
// Decks with more quads are streamed through a small buffer on every frame
// instead of being kept whole.
constexpr std::size_t kMaxKeptQuads = std::size_t{1} << 20;
constexpr std::size_t kStreamQuads = 4096;
// Decks with more quads keep no list of a still view besides their groups.
constexpr std::size_t kMaxViewQuads = std::size_t{1} << 18;

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

void TQuadGroups::DropViewList() {
    if (ViewList_) glDeleteLists(ViewList_, 1);
    ViewList_ = 0;
    ViewQuads_ = 0;
    HasLast_ = false;
}

void TQuadGroups::Release() {
    for (const TGroup& g : Groups_)
        if (g.List) glDeleteLists(g.List, 1);
    Groups_.clear();
    Order_.clear();
    Covered_ = 0;
    DropViewList();
    Forget();
}

bool TQuadGroups::AddGroup(const TQuad* quads, std::size_t first, std::size_t end, int direction,
                           bool covered) {
    if (first == end) return true;
    TGroup g;
    g.Direction = direction;
    g.Covered = covered;
    g.First = first;
    g.Count = end - first;
    const int axis = g.Direction < 6 ? g.Direction / 2 : 0;
    g.MinPlane = HUGE_VALF;
    g.MaxPlane = -HUGE_VALF;
    std::fill(g.Lo, g.Lo + 3, HUGE_VALF);
    std::fill(g.Hi, g.Hi + 3, -HUGE_VALF);
    Gathered_.clear();
    for (std::size_t k = first; k < end; ++k) {
        const TQuad& q = quads[Order_[k]];
        Gathered_.push_back(q);
        for (const auto& v : q.Vertices) {
            g.MinPlane = std::min(g.MinPlane, v[axis]);
            g.MaxPlane = std::max(g.MaxPlane, v[axis]);
            for (int a = 0; a < 3; ++a) {
                g.Lo[a] = std::min(g.Lo[a], v[a]);
                g.Hi[a] = std::max(g.Hi[a], v[a]);
            }
        }
    }
    g.List = glGenLists(1);
    if (g.List == 0) return false;
    glNewList(g.List, GL_COMPILE);
    StreamQuads(Gathered_.data(), Gathered_.size());
    glEndList();
    Groups_.push_back(g);
    return true;
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
    const TCoveredFaces covered = FindCoveredFaces(quads, count);
    constexpr int kKeys = kRegionsPerSide * kRegionsPerSide * 7 + 7;  // the covered last
    std::vector<std::uint32_t> key(count);
    std::vector<std::size_t> start(kKeys + 1, 0);
    for (std::size_t i = 0; i < count; ++i) {
        const TQuad& q = quads[i];
        const int d = QuadDirection(q);
        if (covered.Covered[i]) {
            key[i] = static_cast<std::uint32_t>(kKeys - 7 + d);
        } else {
            const float cx = (q.Vertices[0][0] + q.Vertices[2][0]) * 0.5f;
            const float cy = (q.Vertices[0][1] + q.Vertices[2][1]) * 0.5f;
            key[i] = static_cast<std::uint32_t>(
                (region(cy, y0, y1) * kRegionsPerSide + region(cx, x0, x1)) * 7 + d);
        }
        ++start[key[i] + 1];
    }
    for (int k = 0; k < kKeys; ++k) start[k + 1] += start[k];
    // Group after group, each in list order.
    Order_.resize(count);
    std::vector<std::size_t> next(start.begin(), start.end() - 1);
    for (std::size_t i = 0; i < count; ++i) Order_[next[key[i]]++] = static_cast<std::uint32_t>(i);
    bool ok = true;
    for (int k = 0; k < kKeys && ok; ++k)
        ok = AddGroup(quads, start[k], start[k + 1], k % 7, k >= kKeys - 7);
    Gathered_ = std::vector<TQuad>();
    if (!ok) {
        Release();
        return false;
    }
    Covered_ = covered.Count;
    BlocksBottom_ = covered.Bottom;
    BlocksTop_ = covered.Top;
    return true;
}

bool TQuadGroups::FarFromBlocks(const double eye[3], const double p[16]) const {
    if (Covered_ == 0) return true;
    // Every point that the near plane cuts away lies within this distance of the
    // eye: near * sqrt(1 + tan^2(half width angle) + tan^2(half height angle)).
    if (p[11] != -1.0 || p[0] == 0.0 || p[5] == 0.0 || p[10] == 1.0) return false;
    const double nearPlane = p[14] / (p[10] - 1.0);
    const double reach =
        std::fabs(nearPlane) * std::sqrt(1.0 + 1.0 / (p[0] * p[0]) + 1.0 / (p[5] * p[5]));
    if (!std::isfinite(reach)) return false;
    return eye[2] > BlocksTop_ + reach || eye[2] < BlocksBottom_ - reach;
}

namespace {

// Whether the box [lo, hi] lies wholly on the outer side of one plane of the
// view volume (clip is the projection times the model-view, column-major): then
// clipping leaves nothing of it.
bool OutsideView(const double clip[16], const float lo[3], const float hi[3]) {
    int outside[6] = {};
    for (int corner = 0; corner < 8; ++corner) {
        const double p[3] = {(corner & 1) ? hi[0] : lo[0], (corner & 2) ? hi[1] : lo[1],
                             (corner & 4) ? hi[2] : lo[2]};
        double v[4];
        for (int r = 0; r < 4; ++r)
            v[r] = clip[r] * p[0] + clip[4 + r] * p[1] + clip[8 + r] * p[2] + clip[12 + r];
        for (int axis = 0; axis < 3; ++axis) {
            const double margin = 1e-6 * (std::fabs(v[axis]) + std::fabs(v[3]));
            outside[axis * 2] += v[axis] < -v[3] - margin ? 1 : 0;
            outside[axis * 2 + 1] += v[axis] > v[3] + margin ? 1 : 0;
        }
    }
    for (int plane = 0; plane < 6; ++plane)
        if (outside[plane] == 8) return true;
    return false;
}

double Slack(const double eye[3]) {
    return 1e-3 * (std::fabs(eye[0]) + std::fabs(eye[1]) + std::fabs(eye[2]) + 1.0);
}

}  // namespace

// Whether some face of the group can turn towards the eye.
bool TQuadGroups::Faces(const TGroup& g, const double eye[3]) const {
    if (g.Direction >= 6) return true;
    const double e = eye[g.Direction / 2];
    const double slack = Slack(eye);
    // A face turns towards the eye when the eye is on its normal's side.
    return (g.Direction % 2 == 0) ? e > g.MinPlane - slack : e < g.MaxPlane + slack;
}

bool TQuadGroups::MayShow(const TGroup& g, const TView& view) const {
    return (!g.Covered || view.WithCovered) && Faces(g, view.Eye) &&
           (view.WithOutside || !OutsideView(view.Clip, g.Lo, g.Hi));
}

void TQuadGroups::DrawGroups(const TView& view) {
    for (const TGroup& g : Groups_) {
        if (!MayShow(g, view)) continue;
        glCallList(g.List);
        Drawn_ += g.Count;
    }
}

bool TQuadGroups::BuildViewList(const TQuad* quads, const TView& view) {
    DropViewList();
    const TScreenMapper screen(view.Clip, view.Viewport);
    const double slack = Slack(view.Eye);
    Gathered_.clear();
    for (const TGroup& g : Groups_) {
        if (!MayShow(g, view)) continue;
        for (std::size_t k = g.First; k < g.First + g.Count; ++k) {
            const TQuad& q = quads[Order_[k]];
            if (g.Direction < 6) {
                const int axis = g.Direction / 2;
                const double towards = view.Eye[axis] - q.Vertices[0][axis];
                if ((g.Direction % 2 == 0 ? towards : -towards) <= -slack) continue;  // its back
            }
            double wx[4], wy[4];
            bool mapped = true;
            for (int c = 0; c < 4 && mapped; ++c) {
                const auto& v = q.Vertices[c];
                mapped = screen.Map(v[0], v[1], v[2], wx[c], wy[c]);
            }
            if (mapped && screen.MissesAllPixels(wx, wy, 4)) continue;
            Gathered_.push_back(q);
        }
    }
    ViewList_ = glGenLists(1);
    if (ViewList_ == 0) return false;
    glNewList(ViewList_, GL_COMPILE);
    StreamQuads(Gathered_.data(), Gathered_.size());
    glEndList();
    ViewQuads_ = Gathered_.size();
    ListView_ = view;
    Gathered_ = std::vector<TQuad>();
    return true;
}

void TQuadGroups::Draw(const TDeck& deck, const double eye[3], TQuadCulling culling) {
    const std::size_t count = deck.Quads.size();
    Drawn_ = 0;
    DrewView_ = false;
    if (count == 0) return;
    const TQuad* quads = deck.Quads.data();
    if (count > kMaxKeptQuads) {
        StreamQuads(quads, count);
        Drawn_ = count;
        return;
    }
    if (Deck_ != &deck || Data_ != quads || Count_ != count || Groups_.empty()) {
        if (!Build(quads, count)) {
            StreamQuads(quads, count);
            Drawn_ = count;
            return;
        }
        Deck_ = &deck;
        Data_ = quads;
        Count_ = count;
    }
    TView view;
    glGetDoublev(GL_PROJECTION_MATRIX, view.Projection);
    glGetDoublev(GL_MODELVIEW_MATRIX, view.ModelView);
    glGetIntegerv(GL_VIEWPORT, view.Viewport);
    std::copy(eye, eye + 3, view.Eye);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += view.Projection[k * 4 + r] * view.ModelView[c * 4 + k];
            view.Clip[c * 4 + r] = sum;
        }
    view.WithOutside = !culling.Outside;
    view.WithCovered = !culling.Covered || !FarFromBlocks(eye, view.Projection);
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &samples);
    if (!culling.Unseen || samples != 0 || count > kMaxViewQuads) {
        // Pixel centres decide only without multisampling; a huge deck keeps no
        // second copy of its quads.
        DrawGroups(view);
        return;
    }
    if (!(ViewList_ && view == ListView_)) {
        if (!(HasLast_ && view == Last_) || !BuildViewList(quads, view)) {
            DrawGroups(view);
            Last_ = view;
            HasLast_ = true;
            return;
        }
    }
    glCallList(ViewList_);
    Drawn_ = ViewQuads_;
    DrewView_ = true;
}

}  // namespace orlex
