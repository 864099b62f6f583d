#include "glyph.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <cmath>

namespace orlex {

namespace {

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

int HeadingAngle(int heading) {
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

// Index 0: unturned (also bad headings); 1..8: the headings.
const TTurnedGlyph& TurnedGlyph(int heading) {
    static const auto table = [] {
        std::array<TTurnedGlyph, 9> t{};
        t[0] = MakeTurnedGlyph(0);
        for (int h = 1; h <= 8; ++h)
            t[static_cast<std::size_t>(h)] = MakeTurnedGlyph(HeadingAngle(h));
        return t;
    }();
    return table[static_cast<std::size_t>(heading >= 1 && heading <= 8 ? heading : 0)];
}

void DrawGlyph(int heading, float x, float y) {
    const TTurnedGlyph& g = TurnedGlyph(heading);
    for (int f = 0; f < 5; ++f) {
        const TGlyphFace& face = kGlyphFaces[f];
        glBegin(face.Count == 3 ? GL_TRIANGLES : GL_QUADS);
        glNormal3fv(g.Normals[f]);
        for (int i = 0; i < face.Count; ++i) {
            const float* c = g.Corners[face.Corner[i]];
            glVertex3f(c[0] + x, c[1] + y, c[2]);
        }
        glEnd();
    }
}

void CompileGlyphList(unsigned int list) {
    glNewList(list, GL_COMPILE);
    glColor3f(0.0f, 1.0f, 0.0f);
    glPushMatrix();
    for (const TGlyphFace& f : kGlyphFaces) {
        glBegin(f.Count == 3 ? GL_TRIANGLES : GL_QUADS);
        glNormal3f(f.Normal[0], f.Normal[1], f.Normal[2]);
        for (int i = 0; i < f.Count; ++i) glVertex3fv(kGlyphCorners[f.Corner[i]]);
        glEnd();
    }
    glPopMatrix();
    glEndList();
}

void CompileOriginList(unsigned int list) {
    const double r = 0.1;
    glNewList(list, GL_COMPILE);
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

}  // namespace orlex
