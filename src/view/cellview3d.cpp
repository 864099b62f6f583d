#include "cellview3d.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>

namespace orlex {

const char* const TCellView3D::kHeadingErrorText =
    "Error in:\n\nTCellView3D::RenderScene()\n\nContact Quenwick!";

namespace {

constexpr double kPiApprox = 3.1415;  // as the view has always used it
constexpr float kPersonHeight = 6.0f;
// Corners of the glyph's cross-section, apex C along +y.
constexpr float kAx = -0.5f, kAy = -0.289f;
constexpr float kBx = 0.5f, kBy = -0.289f;
constexpr float kCx = 0.0f, kCy = 0.577f;

// The six corners of the glyph: A, B, C on the floor, then A, B, C on top.
constexpr float kGlyphCorners[6][3] = {
    {kAx, kAy, 0},
    {kBx, kBy, 0},
    {kCx, kCy, 0},
    {kAx, kAy, kPersonHeight},
    {kBx, kBy, kPersonHeight},
    {kCx, kCy, kPersonHeight},
};

struct TFace {
    int Count;      // 3: a triangle, 4: a quad
    int Corner[4];  // into kGlyphCorners, in drawing order
    float Normal[3];
};

// The glyph faces in list order: bottom, top, then the three sides.
constexpr TFace kGlyphFaces[5] = {
    {3, {0, 2, 1, 0}, {0, 0, -1}},          {3, {3, 4, 5, 0}, {0, 0, 1}},
    {4, {0, 1, 4, 3}, {0, -1, 0}},          {4, {2, 0, 3, 5}, {-0.866f, 0.866f, 0}},
    {4, {1, 2, 5, 4}, {0.866f, 0.866f, 0}},
};
constexpr int kMaxTriangleVertices = 2 * 3;  // per person
constexpr int kMaxQuadVertices = 3 * 4;      // per person
// Persons sent per batch; bounds the arrays for any number of persons.
constexpr int kBatchPersons = 1024;

// The glyph turned by a heading's angle.
struct TTurnedGlyph {
    float Corners[6][3];
    float Normals[5][3];
};

void Turn(const float in[3], double c, double s, float out[3]) {
    out[0] = static_cast<float>(c * in[0] - s * in[1]);
    out[1] = static_cast<float>(s * in[0] + c * in[1]);
    out[2] = in[2];
}

TTurnedGlyph MakeTurnedGlyph(int degrees) {
    TTurnedGlyph g{};
    const double rad = degrees * (M_PI / 180.0);
    const double c = std::cos(rad), s = std::sin(rad);
    for (int i = 0; i < 6; ++i) Turn(kGlyphCorners[i], c, s, g.Corners[i]);
    for (int f = 0; f < 5; ++f) Turn(kGlyphFaces[f].Normal, c, s, g.Normals[f]);
    return g;
}

// Index 0: unturned (also bad headings); 1..8: the headings.
const TTurnedGlyph& TurnedGlyph(int heading) {
    static const auto table = [] {
        std::vector<TTurnedGlyph> t;
        t.push_back(MakeTurnedGlyph(0));
        for (int h = 1; h <= 8; ++h) t.push_back(MakeTurnedGlyph(TCellView3D::HeadingAngle(h)));
        return t;
    }();
    return table[heading >= 1 && heading <= 8 ? heading : 0];
}

// Where the current projection, model-view matrix and viewport put scene
// points, to tell faces that cannot cover a pixel centre.
class TScreenMapper {
public:
    TScreenMapper() {
        GLdouble p[16], m[16];
        glGetDoublev(GL_PROJECTION_MATRIX, p);
        glGetDoublev(GL_MODELVIEW_MATRIX, m);
        glGetIntegerv(GL_VIEWPORT, Viewport_);
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 4; ++r) {
                double sum = 0;
                for (int k = 0; k < 4; ++k) sum += p[k * 4 + r] * m[c * 4 + k];
                M_[c * 4 + r] = sum;
            }
    }
    // Window position of (x, y, z); false when behind the eye (no verdict then).
    bool Map(double x, double y, double z, double& wx, double& wy) const {
        const double cw = M_[3] * x + M_[7] * y + M_[11] * z + M_[15];
        if (!(cw > 1e-9)) return false;
        const double cx = M_[0] * x + M_[4] * y + M_[8] * z + M_[12];
        const double cy = M_[1] * x + M_[5] * y + M_[9] * z + M_[13];
        wx = Viewport_[0] + (cx / cw + 1.0) * 0.5 * Viewport_[2];
        wy = Viewport_[1] + (cy / cw + 1.0) * 0.5 * Viewport_[3];
        return std::isfinite(wx) && std::isfinite(wy);
    }
    // True when the convex polygon (window coordinates, n corners) covers no
    // pixel centre of the viewport, even when widened by a margin far above the
    // rasteriser's sub-pixel snapping. Large polygons are not examined.
    bool MissesAllPixels(const double* px, const double* py, int n) const {
        constexpr double margin = 0.02;
        double x0 = px[0], x1 = px[0], y0 = py[0], y1 = py[0];
        for (int k = 1; k < n; ++k) {
            x0 = std::min(x0, px[k]);
            x1 = std::max(x1, px[k]);
            y0 = std::min(y0, py[k]);
            y1 = std::max(y1, py[k]);
        }
        double cx0, cx1, cy0, cy1;  // first and last centre index on each axis
        if (!Centres(x0 - margin, x1 + margin, Viewport_[0], Viewport_[2], cx0, cx1) ||
            !Centres(y0 - margin, y1 + margin, Viewport_[1], Viewport_[3], cy0, cy1))
            return true;
        if ((cx1 - cx0 + 1) * (cy1 - cy0 + 1) > 4) return false;
        // Orientation of the polygon; a (nearly) flat one is kept.
        double area = 0;
        for (int k = 0; k < n; ++k) {
            const int j = (k + 1) % n;
            area += px[k] * py[j] - px[j] * py[k];
        }
        if (std::fabs(area) < 1e-9) return false;
        const double sign = area > 0 ? 1.0 : -1.0;
        for (double cy = cy0; cy <= cy1; ++cy) {
            for (double cx = cx0; cx <= cx1; ++cx) {
                const double x = Viewport_[0] + cx + 0.5, y = Viewport_[1] + cy + 0.5;
                bool inside = true;
                for (int k = 0; k < n && inside; ++k) {
                    const int j = (k + 1) % n;
                    const double ex = px[j] - px[k], ey = py[j] - py[k];
                    const double length = std::sqrt(ex * ex + ey * ey);
                    if (length < 1e-12) continue;
                    const double distance = sign * (ex * (y - py[k]) - ey * (x - px[k])) / length;
                    inside = distance >= -margin;
                }
                if (inside) return false;
            }
        }
        return true;
    }

private:
    // Pixel centres sit at origin + i + 0.5, i = 0 .. size - 1: the first and
    // last i inside [lo, hi]; false when there is none.
    static bool Centres(double lo, double hi, int origin, int size, double& first, double& last) {
        first = std::max(std::ceil(lo - origin - 0.5), 0.0);
        last = std::min(std::floor(hi - origin - 0.5), size - 1.0);
        return first <= last;
    }
    double M_[16];
    GLint Viewport_[4];
};

void DrawArrow(double r) {
    // Shaft, cone head and the disk closing the cone, along local +z.
    if (GLUquadric* q = gluNewQuadric()) {
        gluCylinder(q, r, r, 40 * r, 8, 1);
        gluDeleteQuadric(q);
    }
    glTranslatef(0.0f, 0.0f, 4.0f);
    if (GLUquadric* q = gluNewQuadric()) {
        gluCylinder(q, 4 * r, 0, 12 * r, 8, 1);
        gluDeleteQuadric(q);
    }
    glRotated(180, 0, 1, 0);
    if (GLUquadric* q = gluNewQuadric()) {
        gluDisk(q, 0, 4 * r, 8, 1);
        gluDeleteQuadric(q);
    }
}

}  // namespace

TCellView3D::TCellView3D(QWidget* parent) : TGLControl(parent) {
    OriginVisible = true;
}

TCellView3D::~TCellView3D() {
    WithContext([this] { DeleteLists(); });
}

int TCellView3D::HeadingAngle(int heading) {
    switch (heading) {
        case 1:
            return 0;
        case 2:
            return 315;
        case 3:
            return 270;
        case 4:
            return 225;
        case 5:
            return 180;
        case 6:
            return 135;
        case 7:
            return 90;
        case 8:
            return 45;
        default:
            return -1;
    }
}

double TCellView3D::FarPlane(double panX, double panY, double distance, int maxDim) {
    const double pan = std::fabs(std::trunc(std::sqrt(panX * panX + panY * panY)));
    return pan + std::fabs(std::trunc(distance)) + static_cast<double>(maxDim);
}

// --- project -----------------------------------------------------------------

void TCellView3D::InitView(int xmax, int ymax, int deckCount, int personCount) {
    XMax = xmax;
    YMax = ymax;
    DeckCount = std::max(deckCount, 0);
    PersonCount = std::max(personCount, 0);
    MaxDim = xmax > ymax ? xmax : ymax;
    FieldOfView = 60;
    FieldOfViewRad = FieldOfView * kPiApprox / 180.0;
    // The larger side just fills the height of the view, seen from straight above.
    // Stored directly: no lower bound here.
    Distance = (MaxDim * 0.5) / std::tan(FieldOfViewRad * 0.5);
    EyeZ = Distance;
    HeadingReported_.assign(static_cast<std::size_t>(PersonCount), false);
    ForgetQuadArray();
    PendingErrors_ = 0;
    ListsWanted_ = true;
    WithContext([this] {
        BuildLists();
        SetOrtho();
    });
}

void TCellView3D::SetDecks(TDeck* decks) {
    Decks = decks;
    ForgetQuadArray();  // the deck list is rebuilt from the new decks
}

void TCellView3D::SetPersons(TPersonData* persons) {
    Persons = persons;
}

void TCellView3D::SetCurrentDeck(int index) {
    if (index < 0 || index >= DeckCount) return;
    CurrentDeck = index;
    LightSet = Decks ? Decks[index].Lights : nullptr;
    WithContext([this] { SetupRC(); });
    Invalidate();
}

void TCellView3D::ToggleOrigin() {
    OriginVisible = !OriginVisible;
    Invalidate();
}

void TCellView3D::AddLightAtFocus() {
    if (!Decks || CurrentDeck < 0 || CurrentDeck >= DeckCount) return;
    Decks[CurrentDeck].AddLightAt(static_cast<float>(-PanX), static_cast<float>(-PanY));
    WithContext([this] { SetupRC(); });
    Invalidate();
}

void TCellView3D::RemoveLightAtFocus() {
    if (!Decks || CurrentDeck < 0 || CurrentDeck >= DeckCount) return;
    Decks[CurrentDeck].RemoveLightNear(static_cast<float>(-PanX), static_cast<float>(-PanY));
    WithContext([this] { SetupRC(); });
    Invalidate();
}

int TCellView3D::GetLightCount() const {
    if (!Decks || CurrentDeck < 0 || CurrentDeck >= DeckCount) return 0;
    return Decks[CurrentDeck].LightsOn;
}

void TCellView3D::ReleaseProject() {
    Decks = nullptr;
    Persons = nullptr;
    LightSet = nullptr;
    DeckCount = 0;
    PersonCount = 0;
    HeadingReported_.clear();
    PendingErrors_ = 0;
    ListsWanted_ = false;
    ForgetQuadArray();
    WithContext([this] {
        DeleteLists();
        // Lights of the released deck stay off until the next deck is shown.
        ShutDownLights();
    });
    Invalidate();
}

// --- display lists -------------------------------------------------------------

void TCellView3D::initializeGL() {
    TGLControl::initializeGL();
    if (!HasContext() || !ListsWanted_) return;
    WithContext([this] { BuildLists(); });
}

void TCellView3D::ReleaseGL() {
    DeleteLists();
}

void TCellView3D::DeleteLists() {
    if (OriginList) glDeleteLists(OriginList, 1);
    if (PersonList) glDeleteLists(PersonList, 1);
    DeleteDeckGroups();
    OriginList = 0;
    PersonList = 0;
    ForgetQuadArray();
}

void TCellView3D::BuildLists() {
    DeleteLists();
    const double r = 0.1;
    OriginList = glGenLists(1);
    if (OriginList) {
        glNewList(OriginList, GL_COMPILE);
        glColor3f(0.0f, 1.0f, 0.0f);
        glPushMatrix();  // x arrow
        glRotated(90, 0, 1, 0);
        DrawArrow(r);
        glPopMatrix();
        glPushMatrix();  // y arrow
        glRotated(-90, 1, 0, 0);
        DrawArrow(r);
        glPopMatrix();
        glPushMatrix();  // z arrow
        DrawArrow(r);
        glPopMatrix();
        if (GLUquadric* q = gluNewQuadric()) {
            gluSphere(q, 2 * r, 8, 8);
            gluDeleteQuadric(q);
        }
        glEndList();
    }
    PersonList = glGenLists(1);
    if (PersonList) {
        glNewList(PersonList, GL_COMPILE);
        glColor3f(0.0f, 1.0f, 0.0f);
        glPushMatrix();
        for (const TFace& f : kGlyphFaces) {
            glBegin(f.Count == 3 ? GL_TRIANGLES : GL_QUADS);
            glNormal3f(f.Normal[0], f.Normal[1], f.Normal[2]);
            for (int i = 0; i < f.Count; ++i) glVertex3fv(kGlyphCorners[f.Corner[i]]);
            glEnd();
        }
        glPopMatrix();
        glEndList();
    }
}

// --- frame ---------------------------------------------------------------------

void TCellView3D::SetOrtho() {
    const int w = width() > 0 ? width() : 1;
    const int h = height() > 0 ? height() : 1;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (FieldOfView > 0) {
        double farPlane = FarPlane(PanX, PanY, Distance, MaxDim);
        // Keep the frustum valid for odd sizes (an empty deck, huge values).
        if (!(farPlane > 2.0)) farPlane = 2.0;
        if (!std::isfinite(farPlane)) farPlane = std::numeric_limits<float>::max();
        gluPerspective(FieldOfView, static_cast<double>(w) / h, 1.0, farPlane);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void TCellView3D::RenderScene() {
    glLoadIdentity();
    gluLookAt(EyeX, EyeY, EyeZ, 0, 0, 0, UpX, UpY, UpZ);
    glPushMatrix();
    // Before the pan: the marker stays at the point the camera turns about.
    if (OriginVisible && OriginList) glCallList(OriginList);
    glTranslatef(static_cast<float>(PanX), static_cast<float>(PanY), 0.0f);

    if (Persons && PersonCount > 0) {
        if (BatchPersons)
            DrawPersonsBatched();
        else if (PersonList)
            DrawPersonsListed();
    }

    // Given here, under the pan, so the lights stay fixed to the deck.
    if (LightSet) {
        for (int k = 0; k < kLightSlots; ++k) {
            if (LightSet[k].On)
                glLightfv(GL_LIGHT0 + static_cast<GLenum>(k), GL_POSITION, LightSet[k].Position);
        }
    }

    if (DeckCount > 0 && Decks && CurrentDeck >= 0 && CurrentDeck < DeckCount) {
        const TDeck& deck = Decks[CurrentDeck];
        const std::size_t count = deck.Quads.size();
        if (BatchQuads)
            DrawQuadsBatched(deck, count);
        else
            DrawQuadsListed(deck, count);
    }
    glPopMatrix();

    if (PendingErrors_ > 0 && !ErrorScheduled_) {
        ErrorScheduled_ = true;
        // Never a modal box from inside the frame.
        QTimer::singleShot(0, this, [this] { ShowPendingErrors(); });
    }
}

// One glBegin/glEnd pair per quad: normal, colour, four vertices.
void TCellView3D::DrawQuadsListed(const TDeck& deck, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const TQuad& q = deck.Quads[i];
        glBegin(GL_QUADS);
        glNormal3f(q.Normal[0], q.Normal[1], q.Normal[2]);
        glColor3f(q.Color[0], q.Color[1], q.Color[2]);
        for (const auto& v : q.Vertices) glVertex3f(v[0], v[1], v[2]);
        glEnd();
    }
}

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

}  // namespace

void TCellView3D::ForgetQuadArray() {
    // The list itself goes when the next deck is drawn (or with the context).
    QuadArrayDeck_ = nullptr;
    QuadArrayData_ = nullptr;
    QuadArrayCount_ = 0;
}

namespace {

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

namespace {

// Facing direction of a quad: 0..5 for +x, -x, +y, -y, +z, -z; 6 for any other.
int DirectionOf(const TQuad& q) {
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

// Regions per side of the deck for the quad groups.
constexpr int kRegionsPerSide = 8;

}  // namespace

void TCellView3D::DeleteDeckGroups() {
    for (const TQuadGroup& g : DeckGroups_)
        if (g.List) glDeleteLists(g.List, 1);
    DeckGroups_.clear();
}

// The deck's quads, compiled once per deck shown into display lists that hold
// their vertex arrays: one list per region of the deck and facing direction,
// each in the order of the quad list. A frame calls the lists whose faces can
// turn towards the eye; the others OpenGL would cull anyway. Only faces lying
// in one plane of the same direction could change their drawing order, and
// those have the same colour.
void TCellView3D::DrawQuadsBatched(const TDeck& deck, std::size_t count) {
    if (count == 0) return;
    const TQuad* quads = deck.Quads.data();
    if (count > kMaxKeptQuads) {
        StreamQuads(quads, count);
        return;
    }
    if (QuadArrayDeck_ != &deck || QuadArrayData_ != quads || QuadArrayCount_ != count ||
        DeckGroups_.empty()) {
        DeleteDeckGroups();
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
                (region(cy, y0, y1) * kRegionsPerSide + region(cx, x0, x1)) * 7 + DirectionOf(q);
            members[static_cast<std::size_t>(key)].push_back(i);
        }
        std::vector<TQuad> gathered;
        for (int key = 0; key < kKeys; ++key) {
            const std::vector<std::size_t>& m = members[static_cast<std::size_t>(key)];
            if (m.empty()) continue;
            TQuadGroup g;
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
                DeleteDeckGroups();
                StreamQuads(quads, count);
                return;
            }
            glNewList(g.List, GL_COMPILE);
            StreamQuads(gathered.data(), gathered.size());
            glEndList();
            DeckGroups_.push_back(g);
        }
        QuadArrayDeck_ = &deck;
        QuadArrayData_ = quads;
        QuadArrayCount_ = count;
    }
    // The eye in deck coordinates (the deck is drawn shifted by the pan).
    const double eye[3] = {EyeX - static_cast<float>(PanX), EyeY - static_cast<float>(PanY), EyeZ};
    const double slack = 1e-3 * (std::fabs(eye[0]) + std::fabs(eye[1]) + std::fabs(eye[2]) + 1.0);
    for (const TQuadGroup& g : DeckGroups_) {
        bool visible = true;
        if (g.Direction < 6) {
            const double e = eye[g.Direction / 2];
            // A face turns towards the eye when the eye is on its normal's side.
            visible = (g.Direction % 2 == 0) ? e > g.MinPlane - slack : e < g.MaxPlane + slack;
        }
        if (visible) glCallList(g.List);
    }
}

// One push, translate, turn, list call and pop per person.
void TCellView3D::DrawPersonsListed() {
    for (int i = 0; i < PersonCount; ++i) {
        float x = 0, y = 0;
        int tag = 0, heading = 0, level = 0;
        Persons[i].GetPosition(x, y, tag, heading, level);
        if (level != CurrentDeck) continue;
        glPushMatrix();
        glTranslatef(x, y, 0.0f);
        const int angle = HeadingAngle(heading);
        if (angle < 0)
            NoteBadHeading(i);
        else if (angle > 0)
            glRotated(angle, 0, 0, 1);
        glCallList(PersonList);
        glPopMatrix();
    }
}

// The same glyphs, pre-turned and moved on the CPU, sent as two vertex arrays
// per batch of persons: triangles (bottom, top) and quads (sides). Faces that
// OpenGL would not draw anyway are left out here already: those that turn their
// back to the eye, and those too small or too far off to cover a pixel centre
// (most of them when a whole deck is in view). The picture stays the same.
void TCellView3D::DrawPersonsBatched() {
    constexpr int kStride = 6;  // normal, position
    const std::size_t batch = static_cast<std::size_t>(std::min(PersonCount, kBatchPersons));
    PersonVertices_.resize(batch * (kMaxTriangleVertices + kMaxQuadVertices) * kStride);
    float* const tri = PersonVertices_.data();
    float* const quad = tri + batch * kMaxTriangleVertices * kStride;

    // The eye in deck coordinates (the deck is drawn shifted by the pan).
    const double ex = EyeX - static_cast<float>(PanX);
    const double ey = EyeY - static_cast<float>(PanY);
    const double ez = EyeZ;
    // Faces (nearly) edge-on are kept: OpenGL decides those.
    const double slack = 1e-5 * (std::fabs(ex) + std::fabs(ey) + std::fabs(ez) + MaxDim + 10.0);
    const TScreenMapper screen;

    glColor3f(0.0f, 1.0f, 0.0f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    float* triEnd = tri;
    float* quadEnd = quad;
    auto flush = [&] {
        constexpr GLsizei stride = kStride * sizeof(float);
        if (triEnd != tri) {
            glNormalPointer(GL_FLOAT, stride, tri);
            glVertexPointer(3, GL_FLOAT, stride, tri + 3);
            glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>((triEnd - tri) / kStride));
        }
        if (quadEnd != quad) {
            glNormalPointer(GL_FLOAT, stride, quad);
            glVertexPointer(3, GL_FLOAT, stride, quad + 3);
            glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>((quadEnd - quad) / kStride));
        }
        triEnd = tri;
        quadEnd = quad;
    };
    std::size_t n = 0;
    float corner[6][3];
    double wx[6], wy[6];
    bool mapped[6];
    for (int i = 0; i < PersonCount; ++i) {
        float x = 0, y = 0;
        int tag = 0, heading = 0, level = 0;
        Persons[i].GetPosition(x, y, tag, heading, level);
        if (level != CurrentDeck) continue;
        if (HeadingAngle(heading) < 0) NoteBadHeading(i);
        const TTurnedGlyph& g = TurnedGlyph(heading);
        for (int c = 0; c < 6; ++c) {
            corner[c][0] = g.Corners[c][0] + x;
            corner[c][1] = g.Corners[c][1] + y;
            corner[c][2] = g.Corners[c][2];
            mapped[c] = screen.Map(corner[c][0], corner[c][1], corner[c][2], wx[c], wy[c]);
        }
        for (int f = 0; f < 5; ++f) {
            const TFace& face = kGlyphFaces[f];
            const float* normal = g.Normals[f];
            const float* p = corner[face.Corner[0]];
            const double facing =
                (ex - p[0]) * normal[0] + (ey - p[1]) * normal[1] + (ez - p[2]) * normal[2];
            if (facing <= -slack) continue;
            bool allMapped = true;
            double fx[4], fy[4];
            for (int k = 0; k < face.Count; ++k) {
                const int c = face.Corner[k];
                allMapped = allMapped && mapped[c];
                fx[k] = wx[c];
                fy[k] = wy[c];
            }
            if (allMapped && screen.MissesAllPixels(fx, fy, face.Count)) continue;
            float*& out = face.Count == 3 ? triEnd : quadEnd;
            for (int k = 0; k < face.Count; ++k) {
                const float* v = corner[face.Corner[k]];
                *out++ = normal[0];
                *out++ = normal[1];
                *out++ = normal[2];
                *out++ = v[0];
                *out++ = v[1];
                *out++ = v[2];
            }
        }
        if (++n == batch) {
            flush();
            n = 0;
        }
    }
    flush();
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

// --- heading errors ------------------------------------------------------------

void TCellView3D::NoteBadHeading(int person) {
    if (person < 0 || static_cast<std::size_t>(person) >= HeadingReported_.size()) return;
    if (HeadingReported_[static_cast<std::size_t>(person)]) return;
    HeadingReported_[static_cast<std::size_t>(person)] = true;
    ++PendingErrors_;
}

void TCellView3D::ShowPendingErrors() {
    ErrorScheduled_ = false;
    // A box is open already (its event loop painted a frame); it shows again after.
    if (ShowingError_ || PendingErrors_ == 0) return;
    PendingErrors_ = 0;
    ShowingError_ = true;
    Messages().ShowMessage(kHeadingErrorText, "Error", TMsgIcon::Warning, TMsgButtons::Ok);
    ShowingError_ = false;
    if (PendingErrors_ > 0 && !ErrorScheduled_) {
        ErrorScheduled_ = true;
        QTimer::singleShot(0, this, [this] { ShowPendingErrors(); });
    }
}

}  // namespace orlex
