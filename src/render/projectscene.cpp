#include "projectscene.h"

#include <cmath>

namespace orlex {

TCamera StartCamera(int xmax, int ymax) {
    TCamera camera;
    const int maxDim = xmax > ymax ? xmax : ymax;
    const double fov = kViewFieldOfView * kViewPi / 180.0;
    // Stored directly, as the view does: no lower bound here.
    camera.Distance = (maxDim * 0.5) / std::tan(fov * 0.5);
    camera.EyeZ = camera.Distance;
    return camera;
}

TCamera TiltedCamera(int xmax, int ymax, double phi, double theta) {
    TCamera camera = StartCamera(xmax, ymax);
    camera.Phi = phi;
    camera.Theta = theta;
    camera.UpdateEye();
    camera.UpdateUp();
    return camera;
}

TSceneInput ProjectScene(const TLogFile1& project, int deck, int stepCounter) {
    TSceneInput scene;
    const int decks = project.DeckCount();
    scene.Decks = decks > 0 ? project.Decks.data() : nullptr;
    scene.DeckCount = decks;
    scene.Persons = project.Persons.empty() ? nullptr : project.Persons.data();
    scene.PersonCount = project.PersonCount();
    scene.CurrentDeck = deck >= 0 && deck < decks ? deck : 0;
    scene.LightSet = decks > 0 ? project.Decks[scene.CurrentDeck].Lights : nullptr;
    scene.OriginVisible = true;
    scene.FieldOfView = kViewFieldOfView;
    scene.MaxDim = project.XMax > project.YMax ? project.XMax : project.YMax;
    scene.XMax = project.XMax;
    scene.YMax = project.YMax;
    scene.StepCounter = stepCounter;
    const int v = project.VMax > 0 ? project.VMax : 1;
    scene.TrailSteps = kTrailSecondsShown * v;
    return scene;
}

int BusiestDeck(const TLogFile1& project) {
    int busiest = 0;
    for (int d = 1; d < project.DeckCount(); ++d)
        if (project.Decks[d].QuadCount() > project.Decks[busiest].QuadCount()) busiest = d;
    return busiest;
}

}  // namespace orlex
