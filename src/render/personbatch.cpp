#include "personbatch.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "glyph.h"
#include "screenmap.h"

namespace orlex {

namespace {

constexpr int kMaxTriangleVertices = 2 * 3;  // per person
constexpr int kMaxQuadVertices = 3 * 4;      // per person
constexpr int kStride = 6;                   // normal, position

void NoteBad(const TPersonPass& pass, int person) {
    if (pass.BadHeadings) pass.BadHeadings->push_back(person);
}

}  // namespace

void DrawPersonsListed(const TPersonPass& pass, unsigned int glyphList) {
    for (int i = 0; i < pass.PersonCount; ++i) {
        float x = 0, y = 0;
        int tag = 0, heading = 0, level = 0;
        pass.Persons[i].GetPosition(x, y, tag, heading, level);
        if (level != pass.Deck || i == pass.Skip || (pass.SkipSet && pass.SkipSet[i])) continue;
        glPushMatrix();
        glTranslatef(x, y, 0.0f);
        const int angle = HeadingAngle(heading);
        if (angle < 0)
            NoteBad(pass, i);
        else if (angle > 0)
            glRotated(angle, 0, 0, 1);
        glCallList(glyphList);
        glPopMatrix();
    }
}

// Faces that OpenGL would not draw anyway are left out here already: those
// that turn their back to the eye, and those too small or too far off to cover
// a pixel centre (most of them when a whole deck is in view). Triangles
// (bottom, top) and quads (sides) go in two arrays per batch.
void TPersonBatcher::Draw(const TPersonPass& pass) {
    const std::size_t batch = static_cast<std::size_t>(std::min(pass.PersonCount, kBatchPersons));
    Vertices_.resize(batch * (kMaxTriangleVertices + kMaxQuadVertices) * kStride);
    float* const tri = Vertices_.data();
    float* const quad = tri + batch * kMaxTriangleVertices * kStride;

    const double ex = pass.Eye[0], ey = pass.Eye[1], ez = pass.Eye[2];
    // Faces (nearly) edge-on are kept: OpenGL decides those.
    const double slack =
        1e-5 * (std::fabs(ex) + std::fabs(ey) + std::fabs(ez) + pass.MaxDim + 10.0);
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
    for (int i = 0; i < pass.PersonCount; ++i) {
        float x = 0, y = 0;
        int tag = 0, heading = 0, level = 0;
        pass.Persons[i].GetPosition(x, y, tag, heading, level);
        if (level != pass.Deck || i == pass.Skip || (pass.SkipSet && pass.SkipSet[i])) continue;
        if (HeadingAngle(heading) < 0) NoteBad(pass, i);
        const TTurnedGlyph& g = TurnedGlyph(heading);
        for (int c = 0; c < 6; ++c) {
            corner[c][0] = g.Corners[c][0] + x;
            corner[c][1] = g.Corners[c][1] + y;
            corner[c][2] = g.Corners[c][2];
            mapped[c] = screen.Map(corner[c][0], corner[c][1], corner[c][2], wx[c], wy[c]);
        }
        for (int f = 0; f < 5; ++f) {
            const TGlyphFace& face = kGlyphFaces[f];
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

}  // namespace orlex
