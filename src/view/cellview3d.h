// The 3D view of a project: holds what the scene shows (decks, persons, the
// deck shown), passes light commands to the current deck, lets TSceneRenderer
// draw each frame and shows the box for persons with a bad heading.
#pragma once

#include <vector>

#include "deck.h"
#include "glcontrol.h"
#include "measure.h"
#include "person.h"
#include "playback.h"
#include "projectscene.h"
#include "scenerenderer.h"

namespace orlex {

// How the view shows the decks: the deck shown alone (the default) or all of
// them stacked, and the perspective or the plan view.
struct TStackView {
    bool All = false;
    TCutAway Cut = TCutAway::All;
    std::vector<bool> Hidden;              // per deck: its box unticked
    double Spacing = kDefaultDeckSpacing;  // in block heights
    bool Plan = false;
    double CellMetres = 0.4;  // the side of a cell, for the scale bar
};

class TCellView3D : public TGLControl {
    Q_OBJECT

    // Declared first: OriginList and PersonList are bound to it.
    TSceneRenderer Renderer_;

public:
    // The text of the message for a person with a heading outside 1..8.
    static const char* const kHeadingErrorText;

    explicit TCellView3D(QWidget* parent = nullptr);
    ~TCellView3D() override;

    int CurrentDeck = 0;
    int XMax = 0;
    int YMax = 0;
    int DeckCount = 0;
    int PersonCount = 0;
    int MaxDim = 0;
    int FieldOfView = 0;  // degrees, 60 once a project is loaded
    double FieldOfViewRad = 0.0;
    unsigned int& OriginList = Renderer_.OriginList;  // display list of the origin marker
    unsigned int& PersonList = Renderer_.PersonList;  // display list of the person glyph
    TDeck* Decks = nullptr;                           // borrowed, DeckCount of them
    TPersonData* Persons = nullptr;                   // borrowed, PersonCount of them

    // Draw all persons of the deck with one vertex array per frame (true) or with
    // one display-list call per person (false). Both give the same picture.
    bool BatchPersons = true;
    // Send the deck's quads as one interleaved vertex array (true) or one
    // glBegin/glEnd pair per quad (false). Both give the same picture.
    bool BatchQuads = true;

    // Sizes the view for a freshly loaded project and builds the display lists.
    void InitView(int xmax, int ymax, int deckCount, int personCount);
    void SetDecks(TDeck* decks);
    void SetPersons(TPersonData* persons);
    // Shows deck index; ignored when out of range.
    void SetCurrentDeck(int index);
    void ToggleOrigin();
    void AddLightAtFocus();
    void RemoveLightAtFocus();
    int GetLightCount() const;
    // Drops the borrowed decks, persons and light set (and the counts): a paint
    // then shows only the background. Call it before the project is released.
    void ReleaseProject();

    void SetOrtho() override;
    void RenderScene() override;

    // What a frame of this view shows now (for drawing it elsewhere).
    TSceneInput SceneInput() const;

    // The person drawn yellow with its trail; -1 for none.
    int PickedPerson = -1;
    // Trails of the last kTrailSeconds of everyone on the deck shown.
    bool ShowAllTrails = false;
    static constexpr int kTrailSeconds = kTrailSecondsShown;
    // The playback whose step counter the trails end at (borrowed; null: none).
    void SetPlayback(const TPlayback* playback);
    // The person whose glyph is under widget pixel (x, y) on the deck shown; -1
    // for none.
    int PickAt(int x, int y) const;
    // Picks person (-1 clears the pick) and repaints; ignored when out of range.
    void SetPickedPerson(int person);
    void SetShowAllTrails(bool on);
    // All decks, the cut, hidden decks, spacing and the plan view; repaints.
    void SetStack(const TStackView& stack);
    TStackView Stack;
    // Colour maps per deck (index = deck); the deck shown draws its own. An
    // empty list shows none.
    void SetOverlays(std::vector<TFloorOverlay> overlays);
    const std::vector<TFloorOverlay>& Overlays() const { return Overlays_; }
    // Pans so that deck point (x, y) is at the centre of the view, and repaints.
    void CentreOn(double x, double y);

    // The Measure mode: a left drag draws a line and a right drag a rectangle on
    // the deck shown (MeasureDrawn tells the end of each), the camera staying
    // where it is; off, the mouse moves the camera and picks as ever.
    void SetMeasureMode(bool on);
    bool MeasureMode() const { return MeasureMode_; }
    // The measurements drawn on their decks (borrowed; null for none), placed on
    // the cells by frame.
    void SetMeasures(const TMeasureSet* set, const TMetreFrame& frame);
    // The exits marked on their decks (a copy; empty: none), placed by the frame of
    // SetMeasures.
    void SetExits(std::vector<TExitResult> exits);
    const std::vector<TExitResult>& Exits() const { return Exits_; }
    // The point in metres on the deck shown's floor under widget position (x, y);
    // false where the view does not see that floor.
    bool MetresAt(double x, double y, TMetrePoint& point) const;

signals:
    // A left click picked person, or nothing (-1).
    void PersonPicked(int person);
    // A drag of the Measure mode ended on deck: a line from a to b, or (area) the
    // rectangle with the corners a and b.
    void MeasureDrawn(bool area, int deck, orlex::TMetrePoint a, orlex::TMetrePoint b);

public:
    // Far clipping plane for a pan, a distance and a deck size:
    // |trunc(sqrt(panX^2 + panY^2))| + |trunc(distance)| + maxDim.
    static double FarPlane(double panX, double panY, double distance, int maxDim);
    // Degrees about +z that turn the glyph (apex along +y) to heading 1..8;
    // -1 for any other heading.
    static int HeadingAngle(int heading);

protected:
    void initializeGL() override;
    void ReleaseGL() override;
    void LeftClick(int x, int y) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void BuildLists();
    void DeleteLists();
    void NoteBadHeadings(const std::vector<int>& persons);
    void PaintLegend(const TSceneInput& scene);
    void ShowPendingErrors();

    bool ListsWanted_ = false;
    // Persons already reported for a bad heading in this project.
    std::vector<bool> HeadingReported_;
    int PendingErrors_ = 0;
    bool ErrorScheduled_ = false;
    bool ShowingError_ = false;
    const TPlayback* Playback_ = nullptr;
    std::vector<TFloorOverlay> Overlays_;

    // The Measure mode and its drag: the button held (none: no drag), where it
    // started, and the set with the line or rectangle being drawn added.
    bool MeasureMode_ = false;
    Qt::MouseButton MeasureButton_ = Qt::NoButton;
    TMetrePoint DragFrom_;
    QPoint DragPixel_;
    const TMeasureSet* Measures_ = nullptr;
    std::vector<TExitResult> Exits_;
    TMetreFrame MeasureFrame_;
    TMeasureSet Draft_;
    bool Drafting_ = false;
    void UpdateDraft(const TMetrePoint& to);
};

}  // namespace orlex
