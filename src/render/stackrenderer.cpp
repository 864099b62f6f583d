// The frame of all decks at once. The other decks go first, bottom to top,
// dimmed: their persons blended with a constant share of their colour, their
// floors and block tops flattened into one half transparent map a deck (one
// textured quad, see DeckFloorMap); then the depth buffer is cleared and the
// deck shown is drawn as the single-deck view draws it, so nothing ever hides it.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "glyph.h"
#include "measureoverlay.h"
#include "scenerenderer.h"

namespace orlex {

// The coarse picture of a dimmed deck and its texture; the picture itself is
// dropped once it is uploaded.
struct TSceneRenderer::TCoarseDeck {
    const TDeck* Source = nullptr;
    std::size_t SourceQuads = 0;
    int XMax = 0, YMax = 0;
    TFloorOverlay Map;
    bool Uploaded = false;
    TOverlayLayer Layer;
};

TSceneRenderer::TSceneRenderer() = default;
TSceneRenderer::~TSceneRenderer() = default;

void TSceneRenderer::ForgetDeck() {
    Quads_.Forget();
    for (auto& coarse : Coarse_) coarse->Source = nullptr;
}

void TSceneRenderer::ReleaseStack() {
    for (auto& coarse : Coarse_) {
        coarse->Layer.Release();
        coarse->Source = nullptr;
    }
    for (auto& layer : StackOverlays_) layer->Release();
}

TSceneRenderer::TCoarseDeck& TSceneRenderer::Coarse(const TSceneInput& scene, int d) {
    while (Coarse_.size() <= static_cast<std::size_t>(d))
        Coarse_.push_back(std::make_unique<TCoarseDeck>());
    TCoarseDeck& coarse = *Coarse_[static_cast<std::size_t>(d)];
    const TDeck& deck = scene.Decks[d];
    if (coarse.Source != &deck || coarse.SourceQuads != deck.Quads.size() ||
        coarse.XMax != scene.XMax || coarse.YMax != scene.YMax) {
        coarse.Map = DeckFloorMap(deck, scene.XMax, scene.YMax, kDimDeckAlpha);
        coarse.Uploaded = false;
        coarse.Source = &deck;
        coarse.SourceQuads = deck.Quads.size();
        coarse.XMax = scene.XMax;
        coarse.YMax = scene.YMax;
        coarse.Layer.Forget();
    }
    return coarse;
}

TOverlayLayer& TSceneRenderer::StackOverlay(int d) {
    while (StackOverlays_.size() <= static_cast<std::size_t>(d))
        StackOverlays_.push_back(std::make_unique<TOverlayLayer>());
    return *StackOverlays_[static_cast<std::size_t>(d)];
}

namespace {

// Persons far off as green upright strokes, two pixels wide.
void DrawStrokes(const std::vector<float>& strokes) {
    if (strokes.empty()) return;
    glDisable(GL_LIGHTING);
    glLineWidth(2.0f);
    glColor3f(0.0f, 0.8f, 0.0f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, strokes.data());
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(strokes.size() / 3));
    glDisableClientState(GL_VERTEX_ARRAY);
    glLineWidth(1.0f);
    glEnable(GL_LIGHTING);
}

void DimBlending() {
    glEnable(GL_BLEND);
    glBlendColor(0.0f, 0.0f, 0.0f, kDimDeckAlpha);
    glBlendFunc(GL_CONSTANT_ALPHA, GL_ONE_MINUS_CONSTANT_ALPHA);
}

}  // namespace

void TSceneRenderer::RenderStack(const TSceneInput& scene, const TCamera& camera) {
    double eye[3];
    BeginView(scene, camera, eye);

    // Who is half way between two decks.
    Lifted_.assign(static_cast<std::size_t>(scene.Persons ? scene.PersonCount : 0), 0);
    for (int i = 0; i < static_cast<int>(Lifted_.size()); ++i)
        Lifted_[static_cast<std::size_t>(i)] =
            static_cast<int8_t>(LastLevelChange(scene.Persons[i], scene.StepCounter));

    // The persons of the dimmed decks as upright strokes, one list a deck.
    DimPersons_.resize(static_cast<std::size_t>(std::max(0, scene.DeckCount)));
    for (auto& strokes : DimPersons_) strokes.clear();
    for (int i = 0; i < static_cast<int>(Lifted_.size()); ++i) {
        float x = 0, y = 0;
        int tag = 0, heading = 0, level = 0;
        scene.Persons[i].GetPosition(x, y, tag, heading, level);
        if (level < 0 || level >= scene.DeckCount || level == scene.CurrentDeck ||
            i == scene.PickedPerson || Lifted_[static_cast<std::size_t>(i)] != 0)
            continue;
        DimPersons_[static_cast<std::size_t>(level)].insert(
            DimPersons_[static_cast<std::size_t>(level)].end(), {x, y, 0.0f, x, y, kPersonHeight});
    }

    if (scene.Decks) {
        for (int d = 0; d < scene.DeckCount; ++d) {
            if (d == scene.CurrentDeck || !DeckShown(scene, d)) continue;
            DimBlending();
            DrawStackDeck(scene, d, eye);
        }
        // The trails on the other decks are dimmed like their decks.
        DimBlending();
        DrawStackTrails(scene, false);
        DrawMeasures(scene, false);
        glDisable(GL_BLEND);
        glClear(GL_DEPTH_BUFFER_BIT);
        if (DeckShown(scene, scene.CurrentDeck)) DrawStackDeck(scene, scene.CurrentDeck, eye);
    }
    DrawStackTrails(scene, true);
    DrawMeasures(scene, true);
    glPopMatrix();
}

void TSceneRenderer::DrawStackDeck(const TSceneInput& scene, int d, const double eye[3]) {
    const TDeck& deck = scene.Decks[d];
    const double z = DeckZ(scene, d);
    const bool current = d == scene.CurrentDeck;
    glPushMatrix();
    glTranslated(0.0, 0.0, z);
    const double deckEye[3] = {eye[0], eye[1], eye[2] - z};
    // Every deck is lit by its own lights, fixed to it.
    SetLights(deck.Lights);
    for (int k = 0; k < kLightSlots; ++k)
        if (deck.Lights[k].On)
            glLightfv(GL_LIGHT0 + static_cast<GLenum>(k), GL_POSITION, deck.Lights[k].Position);

    if (scene.Persons && scene.PersonCount > 0) {
        TPersonPass pass;
        pass.Persons = scene.Persons;
        pass.PersonCount = scene.PersonCount;
        pass.Deck = d;
        std::copy(deckEye, deckEye + 3, pass.Eye);
        pass.MaxDim = scene.MaxDim;
        pass.BadHeadings = &BadHeadings_;
        pass.Skip = scene.PickedPerson;
        pass.SkipSet = Lifted_.data();
        if (!current)
            DrawStrokes(DimPersons_[static_cast<std::size_t>(d)]);
        else if (scene.BatchPersons)
            Batcher_.Draw(pass);
        else if (PersonList)
            DrawPersonsListed(pass, PersonList);
        DrawLifted(scene, d);
    }
    if (current) {
        if (scene.BatchQuads)
            Quads_.Draw(deck, deckEye, scene.QuadCulling);
        else
            DrawQuadsListed(deck);
    } else {
        TCoarseDeck& coarse = Coarse(scene, d);
        if (coarse.Uploaded) {
            coarse.Layer.DrawUploaded(scene.XMax, scene.YMax);
        } else {
            coarse.Layer.DrawFloor(coarse.Map, scene.XMax, scene.YMax);
            coarse.Map = TFloorOverlay();
            coarse.Uploaded = true;
        }
    }
    if (const TFloorOverlay* overlay = scene.OverlayOf(d)) {
        TOverlayLayer& layer = current ? Overlay_ : StackOverlay(d);
        layer.DrawFloor(*overlay, scene.XMax, scene.YMax);
    }
    glPopMatrix();
}

// The persons the batch left out on deck d: those that changed level in their
// last step, half way down (or up) to the deck they came from, and the picked
// person in yellow.
void TSceneRenderer::DrawLifted(const TSceneInput& scene, int d) {
    for (int i = 0; i < scene.PersonCount; ++i) {
        const int change = Lifted_[static_cast<std::size_t>(i)];
        if (change == 0 && i != scene.PickedPerson) continue;
        float x = 0, y = 0;
        int tag = 0, heading = 0, level = 0;
        scene.Persons[i].GetPosition(x, y, tag, heading, level);
        if (level != d) continue;
        if (HeadingAngle(heading) < 0) BadHeadings_.push_back(i);
        glPushMatrix();
        glTranslated(0.0, 0.0, -0.5 * change * scene.DeckSpacing);
        if (i == scene.PickedPerson)
            glColor3f(1.0f, 1.0f, 0.0f);
        else
            glColor3f(0.0f, 1.0f, 0.0f);
        DrawGlyph(heading, x, y);
        glPopMatrix();
    }
}

// Everyone's trails and the picked person's over the decks drawn, as lines
// just above the floors, changes of level going from floor to floor. The pass
// of the deck shown draws its own segments and the picked person's whole path;
// the other pass the rest of everyone's trails.
void TSceneRenderer::DrawStackTrails(const TSceneInput& scene, bool shownDeck) {
    const bool all = scene.AllTrails && scene.Persons && scene.TrailSteps > 0;
    const bool picked = shownDeck && scene.Persons && scene.PickedPerson >= 0 &&
                        scene.PickedPerson < scene.PersonCount;
    if (!all && !picked) return;
    TTrailLevels levels;
    for (int d = 0; d < scene.DeckCount; ++d) {
        levels.Z.push_back(static_cast<float>(DeckZ(scene, d)));
        levels.Shown.push_back(DeckShown(scene, d));
    }
    glDisable(GL_LIGHTING);
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, kTrailHeight);
    glEnableClientState(GL_VERTEX_ARRAY);
    auto draw = [](const std::vector<float>& segments) {
        if (segments.empty()) return;
        glVertexPointer(3, GL_FLOAT, 0, segments.data());
        glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(segments.size() / 3));
    };
    if (all) {
        const std::vector<float>& segments =
            StackTrails_.Segments3D(scene.Persons, scene.PersonCount, scene.XMax, scene.YMax,
                                    scene.StepCounter, scene.TrailSteps, levels);
        // A segment lies on the deck shown when both its ends do.
        const bool known = scene.CurrentDeck >= 0 && scene.CurrentDeck < scene.DeckCount;
        const float shownZ = known ? levels.Z[static_cast<std::size_t>(scene.CurrentDeck)] : NAN;
        StackPassTrails_.clear();
        for (std::size_t k = 0; k + 5 < segments.size(); k += 6) {
            const bool onShown = segments[k + 2] == shownZ && segments[k + 5] == shownZ;
            if (onShown == shownDeck)
                StackPassTrails_.insert(StackPassTrails_.end(), segments.begin() + k,
                                        segments.begin() + k + 6);
        }
        glColor3f(1.0f, 0.55f, 0.1f);
        draw(StackPassTrails_);
    }
    if (picked) {
        StackPicked_.clear();
        AppendPath3D(scene.Persons[scene.PickedPerson], scene.XMax, scene.YMax, 0,
                     scene.StepCounter, levels, StackPicked_);
        glColor3f(1.0f, 1.0f, 0.0f);
        draw(StackPicked_);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glPopMatrix();
    glEnable(GL_LIGHTING);
}

}  // namespace orlex
