#include "cellview3d.h"

#include <GL/gl.h>

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <utility>

#include "annotation.h"
#include "glyph.h"
#include "measureoverlay.h"
#include "picking.h"
#include "viewtext.h"

namespace orlex {

const char* const TCellView3D::kHeadingErrorText =
    "Error in:\n\nTCellView3D::RenderScene()\n\nContact Quenwick!";

TCellView3D::TCellView3D(QWidget* parent) : TGLControl(parent) {
    OriginVisible = true;
}

TCellView3D::~TCellView3D() {
    WithContext([this] { DeleteLists(); });
}

int TCellView3D::HeadingAngle(int heading) {
    return orlex::HeadingAngle(heading);
}

double TCellView3D::FarPlane(double panX, double panY, double distance, int maxDim) {
    return TCamera::FarPlane(panX, panY, distance, maxDim);
}

// --- project -----------------------------------------------------------------

void TCellView3D::InitView(int xmax, int ymax, int deckCount, int personCount) {
    XMax = xmax;
    YMax = ymax;
    DeckCount = std::max(deckCount, 0);
    PersonCount = std::max(personCount, 0);
    MaxDim = xmax > ymax ? xmax : ymax;
    FieldOfView = kViewFieldOfView;
    FieldOfViewRad = FieldOfView * kViewPi / 180.0;
    // The larger side just fills the height of the view, seen from straight above.
    const TCamera start = StartCamera(xmax, ymax);
    Distance = start.Distance;
    EyeZ = start.EyeZ;
    HeadingReported_.assign(static_cast<std::size_t>(PersonCount), false);
    PickedPerson = -1;
    Renderer_.ForgetPersons();
    Renderer_.ForgetDeck();
    PendingErrors_ = 0;
    ListsWanted_ = true;
    WithContext([this] {
        BuildLists();
        SetOrtho();
    });
}

void TCellView3D::SetDecks(TDeck* decks) {
    Decks = decks;
    Renderer_.ForgetDeck();  // the deck list is rebuilt from the new decks
}

void TCellView3D::SetPersons(TPersonData* persons) {
    Persons = persons;
    Renderer_.ForgetPersons();
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
    PickedPerson = -1;
    Overlays_.clear();
    Measures_ = nullptr;
    Drafting_ = false;
    MeasureButton_ = Qt::NoButton;
    Renderer_.ForgetPersons();
    Renderer_.ForgetOverlay();
    HeadingReported_.clear();
    PendingErrors_ = 0;
    ListsWanted_ = false;
    Renderer_.ForgetDeck();
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
    Renderer_.ReleaseGL();
}

void TCellView3D::BuildLists() {
    Renderer_.BuildLists();
}

// --- frame ---------------------------------------------------------------------

TSceneInput TCellView3D::SceneInput() const {
    TSceneInput scene;
    scene.Decks = Decks;
    scene.DeckCount = DeckCount;
    scene.Persons = Persons;
    scene.PersonCount = PersonCount;
    scene.CurrentDeck = CurrentDeck;
    scene.LightSet = LightSet;
    scene.OriginVisible = OriginVisible;
    scene.FieldOfView = FieldOfView;
    scene.MaxDim = MaxDim;
    scene.BatchPersons = BatchPersons;
    scene.BatchQuads = BatchQuads;
    scene.PickedPerson = Persons ? PickedPerson : -1;
    scene.XMax = XMax;
    scene.YMax = YMax;
    if (Playback_ && Playback_->Project()) {
        scene.StepCounter = Playback_->StepCounter;
        scene.TrailSteps = kTrailSeconds * Playback_->StepsPerSecond();
    }
    scene.AllTrails = ShowAllTrails;
    scene.Overlays = Overlays_.data();
    scene.OverlayCount = static_cast<int>(Overlays_.size());
    scene.StackAll = Stack.All;
    scene.CutAway = Stack.Cut;
    scene.HiddenDecks = Stack.Hidden;
    scene.DeckSpacing = StackSpacing(Decks, DeckCount, Stack.Spacing);
    scene.Plan = Stack.Plan;
    scene.CellMetres = Stack.CellMetres;
    scene.Measures = Drafting_ ? &Draft_ : Measures_;
    scene.MeasureFrame = MeasureFrame_;
    scene.Exits = Exits_.empty() ? nullptr : &Exits_;
    return scene;
}

// --- picking and following -------------------------------------------------------

void TCellView3D::SetPlayback(const TPlayback* playback) {
    Playback_ = playback;
    Invalidate();
}

int TCellView3D::PickAt(int x, int y) const {
    if (!Persons || FieldOfView <= 0) return -1;
    TRay ray;
    // Through the pixel's centre.
    const TSceneInput scene = SceneInput();
    if (!SceneRay(scene, Camera(), x + 0.5, y + 0.5, width(), height(), ray)) return -1;
    return PickInScene(scene, ray);
}

void TCellView3D::SetPickedPerson(int person) {
    if (person < -1 || person >= PersonCount) return;
    if (person == PickedPerson) return;
    PickedPerson = person;
    Invalidate();
}

void TCellView3D::SetOverlays(std::vector<TFloorOverlay> overlays) {
    Overlays_ = std::move(overlays);
    Renderer_.ForgetOverlay();
    Invalidate();
}

void TCellView3D::SetStack(const TStackView& stack) {
    Stack = stack;
    WithContext([this] { SetOrtho(); });
    Invalidate();
}

void TCellView3D::SetShowAllTrails(bool on) {
    ShowAllTrails = on;
    Invalidate();
}

void TCellView3D::LeftClick(int x, int y) {
    const int person = PickAt(x, y);
    SetPickedPerson(person);
    emit PersonPicked(person);
}

void TCellView3D::CentreOn(double x, double y) {
    Camera().CentreOn(x, y);
    WithContext([this] { SetOrtho(); });
    Invalidate();
}

// --- the Measure mode -------------------------------------------------------------

void TCellView3D::SetMeasureMode(bool on) {
    if (on == MeasureMode_) return;
    MeasureMode_ = on;
    MeasureButton_ = Qt::NoButton;
    Drafting_ = false;
    setCursor(on ? Qt::CrossCursor : Qt::ArrowCursor);
    Invalidate();
}

void TCellView3D::SetMeasures(const TMeasureSet* set, const TMetreFrame& frame) {
    Measures_ = set;
    MeasureFrame_ = frame;
    Invalidate();
}

void TCellView3D::SetExits(std::vector<TExitResult> exits) {
    Exits_ = std::move(exits);
    Invalidate();
}

bool TCellView3D::MetresAt(double x, double y, TMetrePoint& point) const {
    if (Decks == nullptr || FieldOfView <= 0 || CurrentDeck < 0 || CurrentDeck >= DeckCount)
        return false;
    return MetresUnderPixel(SceneInput(), Camera(), x, y, width(), height(), CurrentDeck, point);
}

void TCellView3D::UpdateDraft(const TMetrePoint& to) {
    Draft_ = Measures_ ? *Measures_ : TMeasureSet();
    if (MeasureButton_ == Qt::LeftButton)
        Draft_.Lines.push_back({"", CurrentDeck, DragFrom_, to});
    else
        Draft_.Areas.push_back({"", CurrentDeck, RectanglePolygon(DragFrom_, to)});
    Drafting_ = true;
    Invalidate();
}

void TCellView3D::mousePressEvent(QMouseEvent* event) {
    if (!MeasureMode_) {
        TGLControl::mousePressEvent(event);
        return;
    }
    event->accept();
    const Qt::MouseButton button = event->button();
    if (!IsControlEnabled || MeasureButton_ != Qt::NoButton ||
        (button != Qt::LeftButton && button != Qt::RightButton))
        return;
    const QPointF p = event->position();
    // A drag that starts beside the deck's plane draws nothing.
    if (!MetresAt(p.x(), p.y(), DragFrom_)) return;
    MeasureButton_ = button;
    DragPixel_ = p.toPoint();
}

void TCellView3D::mouseMoveEvent(QMouseEvent* event) {
    if (!MeasureMode_) {
        TGLControl::mouseMoveEvent(event);
        return;
    }
    event->accept();
    if (MeasureButton_ == Qt::NoButton) return;
    TMetrePoint to;
    if (MetresAt(event->position().x(), event->position().y(), to)) UpdateDraft(to);
}

void TCellView3D::mouseReleaseEvent(QMouseEvent* event) {
    if (!MeasureMode_) {
        TGLControl::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    if (event->button() != MeasureButton_) return;
    const Qt::MouseButton button = MeasureButton_;
    MeasureButton_ = Qt::NoButton;
    Drafting_ = false;
    Invalidate();
    const QPoint p = event->position().toPoint();
    // A click is no drag.
    if (std::abs(p.x() - DragPixel_.x()) <= kClickSlop &&
        std::abs(p.y() - DragPixel_.y()) <= kClickSlop)
        return;
    TMetrePoint to;
    if (!MetresAt(p.x(), p.y(), to)) return;
    emit MeasureDrawn(button == Qt::RightButton, CurrentDeck, DragFrom_, to);
}

void TCellView3D::SetOrtho() {
    TSceneRenderer::SetProjection(SceneInput(), Camera(), width(), height());
}

void TCellView3D::RenderScene() {
    const TSceneInput scene = SceneInput();
    NoteBadHeadings(Renderer_.RenderScene(scene, Camera()));
    PaintLegend(scene);
    if (PendingErrors_ > 0 && !ErrorScheduled_) {
        ErrorScheduled_ = true;
        // Never a modal box from inside the frame.
        QTimer::singleShot(0, this, [this] { ShowPendingErrors(); });
    }
}

// The overlay's legend over the frame, with a font. The painter leaves its own
// GL state behind: the scene's state and projection are set again after it.
void TCellView3D::PaintLegend(const TSceneInput& scene) {
    const TFloorOverlay* overlay = scene.CurrentOverlay();
    const bool legend = overlay && overlay->HasLegend();
    if (!legend && !HasViewText(scene)) return;
    // The painter's triangles must not meet the scene's culling and depth test.
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    {
        QPainter painter(this);
        PaintViewText(painter, scene, Camera(), width(), height());
        if (legend) PaintLegendBox(painter, *overlay, width(), height());
    }
    glFrontFace(GL_CCW);
    SetupRC();
    SetOrtho();
}

// --- heading errors ------------------------------------------------------------

void TCellView3D::NoteBadHeadings(const std::vector<int>& persons) {
    for (int person : persons) {
        if (person < 0 || static_cast<std::size_t>(person) >= HeadingReported_.size()) continue;
        if (HeadingReported_[static_cast<std::size_t>(person)]) continue;
        HeadingReported_[static_cast<std::size_t>(person)] = true;
        ++PendingErrors_;
    }
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
