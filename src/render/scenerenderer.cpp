#include "scenerenderer.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <limits>

#include "glyph.h"
#include "measureoverlay.h"

namespace orlex {

const TFloorOverlay* TSceneInput::CurrentOverlay() const {
    return OverlayOf(CurrentDeck);
}

const TFloorOverlay* TSceneInput::OverlayOf(int d) const {
    if (!Overlays || d < 0 || d >= OverlayCount) return nullptr;
    return Overlays + d;
}

void TSceneRenderer::SetupRenderState(const TLights* lights) {
    glClearColor(0.0f, 0.0f, 0.2f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_LIGHTING);
    if (lights) SetLights(lights);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    const GLfloat specular[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMateriali(GL_FRONT, GL_SHININESS, 128);
}

void TSceneRenderer::SetLights(const TLights* lights) {
    for (int k = 0; k < kLightSlots; ++k) {
        const TLights& light = lights[k];
        const GLenum id = GL_LIGHT0 + static_cast<GLenum>(k);
        if (light.On) {
            glLightfv(id, GL_AMBIENT, light.Ambient);
            glLightfv(id, GL_DIFFUSE, light.Diffuse);
            glLightfv(id, GL_SPECULAR, light.Specular);
            glEnable(id);
        } else {
            glDisable(id);
        }
    }
}

void TSceneRenderer::SetProjection(const TSceneInput& scene, const TCamera& camera, int w, int h) {
    if (w <= 0) w = 1;
    if (h <= 0) h = 1;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (scene.FieldOfView > 0) {
        double farPlane = SceneFarPlane(scene, camera);
        // Keep the frustum valid for odd sizes (an empty deck, huge values).
        if (!(farPlane > 2.0)) farPlane = 2.0;
        if (!std::isfinite(farPlane)) farPlane = std::numeric_limits<float>::max();
        if (scene.Plan) {
            // Straight down: the eye may lie below raised decks, so the near
            // plane lies as far above it as the far plane below.
            const double halfHeight = PlanHalfHeight(scene, camera);
            const double halfWidth = halfHeight * static_cast<double>(w) / h;
            glOrtho(-halfWidth, halfWidth, -halfHeight, halfHeight, -farPlane, farPlane);
        } else {
            gluPerspective(scene.FieldOfView, static_cast<double>(w) / h, 1.0, farPlane);
        }
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void TSceneRenderer::ForgetOverlay() {
    Overlay_.Forget();
    for (auto& layer : StackOverlays_) layer->Forget();
}

void TSceneRenderer::BuildLists() {
    ReleaseGL();
    OriginList = glGenLists(1);
    if (OriginList) CompileOriginList(OriginList);
    PersonList = glGenLists(1);
    if (PersonList) CompileGlyphList(PersonList);
}

void TSceneRenderer::ReleaseGL() {
    if (OriginList) glDeleteLists(OriginList, 1);
    if (PersonList) glDeleteLists(PersonList, 1);
    OriginList = 0;
    PersonList = 0;
    Quads_.Release();
    Overlay_.Release();
    ReleaseStack();
    ForgetPersons();
}

void TSceneRenderer::ForgetPersons() {
    Trails_.Clear();
    StackTrails_.Clear();
    Picked_.clear();
    PickedOf_ = nullptr;
    PickedCounter_ = -1;
}

void TSceneRenderer::BeginView(const TSceneInput& scene, const TCamera& camera,
                               double eye[3]) const {
    glLoadIdentity();
    gluLookAt(camera.EyeX, camera.EyeY, camera.EyeZ, 0, 0, 0, camera.UpX, camera.UpY, camera.UpZ);
    glPushMatrix();
    // Before the pan: the marker stays at the point the camera turns about.
    if (scene.OriginVisible && OriginList) glCallList(OriginList);
    glTranslatef(static_cast<float>(camera.PanX), static_cast<float>(camera.PanY), 0.0f);
    // The eye in deck coordinates (the deck is drawn shifted by the pan).
    eye[0] = camera.EyeX - static_cast<float>(camera.PanX);
    eye[1] = camera.EyeY - static_cast<float>(camera.PanY);
    eye[2] = camera.EyeZ;
    // Parallel rays: every face turned up is seen, as from very far above.
    if (scene.Plan) eye[2] = kPlanEyeHeight;
}

const std::vector<int>& TSceneRenderer::RenderScene(const TSceneInput& scene,
                                                    const TCamera& cameraIn) {
    BadHeadings_.clear();
    const TCamera camera = ViewCamera(scene, cameraIn);
    if (scene.StackAll) {
        RenderStack(scene, camera);
        return BadHeadings_;
    }
    double eye[3];
    BeginView(scene, camera, eye);

    if (scene.Persons && scene.PersonCount > 0) {
        TPersonPass pass;
        pass.Persons = scene.Persons;
        pass.PersonCount = scene.PersonCount;
        pass.Deck = scene.CurrentDeck;
        std::copy(eye, eye + 3, pass.Eye);
        pass.MaxDim = scene.MaxDim;
        pass.BadHeadings = &BadHeadings_;
        pass.Skip = scene.PickedPerson;
        if (scene.BatchPersons)
            Batcher_.Draw(pass);
        else if (PersonList)
            DrawPersonsListed(pass, PersonList);
        DrawPicked(scene);
    }

    // Given here, under the pan, so the lights stay fixed to the deck.
    if (scene.LightSet) {
        for (int k = 0; k < kLightSlots; ++k) {
            if (scene.LightSet[k].On)
                glLightfv(GL_LIGHT0 + static_cast<GLenum>(k), GL_POSITION,
                          scene.LightSet[k].Position);
        }
    }

    if (scene.DeckCount > 0 && scene.Decks && scene.CurrentDeck >= 0 &&
        scene.CurrentDeck < scene.DeckCount) {
        const TDeck& deck = scene.Decks[scene.CurrentDeck];
        if (scene.BatchQuads)
            Quads_.Draw(deck, eye, scene.QuadCulling);
        else
            DrawQuadsListed(deck);
    }
    const TFloorOverlay* overlay = scene.CurrentOverlay();
    if (overlay) Overlay_.DrawFloor(*overlay, scene.XMax, scene.YMax);
    DrawTrails(scene);
    DrawMeasures(scene, true);
    glPopMatrix();
    return BadHeadings_;
}

// The picked person after the others, in yellow.
void TSceneRenderer::DrawPicked(const TSceneInput& scene) {
    if (scene.PickedPerson < 0 || scene.PickedPerson >= scene.PersonCount) return;
    float x = 0, y = 0;
    int tag = 0, heading = 0, level = 0;
    scene.Persons[scene.PickedPerson].GetPosition(x, y, tag, heading, level);
    if (level != scene.CurrentDeck) return;
    if (HeadingAngle(heading) < 0) BadHeadings_.push_back(scene.PickedPerson);
    glColor3f(1.0f, 1.0f, 0.0f);
    DrawGlyph(heading, x, y);
}

const std::vector<float>& TSceneRenderer::PickedTrail(const TSceneInput& scene) {
    const bool picked =
        scene.Persons && scene.PickedPerson >= 0 && scene.PickedPerson < scene.PersonCount;
    const TPersonData* person = picked ? scene.Persons + scene.PickedPerson : nullptr;
    if (person != PickedOf_ || scene.StepCounter != PickedCounter_ ||
        scene.CurrentDeck != PickedDeck_) {
        Picked_.clear();
        if (person)
            AppendPath(*person, scene.XMax, scene.YMax, 0, scene.StepCounter, scene.CurrentDeck,
                       Picked_);
        PickedOf_ = person;
        PickedCounter_ = scene.StepCounter;
        PickedDeck_ = scene.CurrentDeck;
    }
    return Picked_;
}

const std::vector<float>& TSceneRenderer::AllTrails(const TSceneInput& scene) {
    return Trails_.Segments(scene.Persons, scene.PersonCount, scene.XMax, scene.YMax,
                            scene.StepCounter, scene.TrailSteps, scene.CurrentDeck);
}

namespace {

void DrawSegments(const std::vector<float>& segments) {
    if (segments.empty()) return;
    glVertexPointer(2, GL_FLOAT, 0, segments.data());
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(segments.size() / 2));
}

}  // namespace

// Unlit lines just above the floor; blocks in front hide them.
void TSceneRenderer::DrawTrails(const TSceneInput& scene) {
    const bool all = scene.AllTrails && scene.Persons && scene.TrailSteps > 0;
    const bool picked = scene.PickedPerson >= 0 && scene.PickedPerson < scene.PersonCount;
    if (!all && !picked) return;
    glDisable(GL_LIGHTING);
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, kTrailHeight);
    glEnableClientState(GL_VERTEX_ARRAY);
    if (all) {
        glColor3f(1.0f, 0.55f, 0.1f);
        DrawSegments(AllTrails(scene));
    }
    if (picked) {
        glColor3f(1.0f, 1.0f, 0.0f);
        DrawSegments(PickedTrail(scene));
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glPopMatrix();
    glEnable(GL_LIGHTING);
}

const std::vector<int>& TSceneRenderer::DrawFrame(const TSceneInput& scene, const TCamera& camera,
                                                  int w, int h) {
    glFrontFace(GL_CCW);
    SetupRenderState(scene.LightSet);
    glViewport(0, 0, w, h);
    SetProjection(scene, camera, w, h);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return RenderScene(scene, camera);
}

}  // namespace orlex
