// The scene renderer: draws the current deck's quads, the persons standing on
// it and the origin marker, and passes light commands to the current deck.
#pragma once

#include <vector>

#include "deck.h"
#include "glcontrol.h"
#include "person.h"

namespace orlex {

class TCellView3D : public TGLControl {
    Q_OBJECT

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
    unsigned int OriginList = 0;     // display list of the origin marker
    unsigned int PersonList = 0;     // display list of the person glyph
    TDeck* Decks = nullptr;          // borrowed, DeckCount of them
    TPersonData* Persons = nullptr;  // borrowed, PersonCount of them

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

    // Far clipping plane for a pan, a distance and a deck size:
    // |trunc(sqrt(panX^2 + panY^2))| + |trunc(distance)| + maxDim.
    static double FarPlane(double panX, double panY, double distance, int maxDim);
    // Degrees about +z that turn the glyph (apex along +y) to heading 1..8;
    // -1 for any other heading.
    static int HeadingAngle(int heading);

protected:
    void initializeGL() override;
    void ReleaseGL() override;

private:
    void BuildLists();
    void DeleteLists();
    void DrawPersonsBatched();
    void DrawPersonsListed();
    void DrawQuadsBatched(const TDeck& deck, std::size_t count);
    void DrawQuadsListed(const TDeck& deck, std::size_t count);
    void ForgetQuadArray();
    void NoteBadHeading(int person);
    void ShowPendingErrors();

    bool ListsWanted_ = false;
    // Persons already reported for a bad heading in this project.
    std::vector<bool> HeadingReported_;
    int PendingErrors_ = 0;
    bool ErrorScheduled_ = false;
    bool ShowingError_ = false;
    // Normals and positions of the batched persons, reused between frames.
    std::vector<float> PersonVertices_;
    // Display lists of the quads of the deck drawn last (quad lists do not change
    // after loading), one per region of the deck and facing direction; rebuilt
    // when another deck or project is drawn.
    struct TQuadGroup {
        unsigned int List = 0;
        int Direction = 0;      // 0..5: +x, -x, +y, -y, +z, -z; 6: other
        float MinPlane = 0.0f;  // range of the faces' plane coordinate
        float MaxPlane = 0.0f;
    };
    std::vector<TQuadGroup> DeckGroups_;
    void DeleteDeckGroups();
    const TDeck* QuadArrayDeck_ = nullptr;
    const TQuad* QuadArrayData_ = nullptr;
    std::size_t QuadArrayCount_ = 0;
};

}  // namespace orlex
