#include "projectscene.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

TCamera FitCamera(int xmax, int ymax, double phi, double theta, double aspect) {
    return FitCamera(xmax, ymax, phi, theta, aspect, 0.0, 0.0);
}

TCamera FitScene(const TSceneInput& scene, double phi, double theta, double aspect) {
    double low = 0, high = 0;
    StackRange(scene, low, high);
    return FitCamera(scene.XMax, scene.YMax, phi, theta, aspect, low, high);
}

TCamera FitCamera(int xmax, int ymax, double phi, double theta, double aspect, double lowZ,
                  double highZ) {
    TCamera camera;
    camera.Phi = phi;
    camera.Theta = theta;
    camera.UpdateUp();
    if (!(aspect > 0) || !std::isfinite(aspect)) aspect = 1;
    xmax = xmax > 1 ? xmax : 1;
    ymax = ymax > 1 ? ymax : 1;
    // The grid's centre in scene coordinates (x from -xmax/2, y up to ymax/2,
    // integer halves), brought to the point the camera looks at.
    const double cx = xmax * 0.5 - xmax / 2;
    const double cy = ymax / 2 - ymax * 0.5;
    camera.CentreOn(cx, cy);

    // The unit vectors of the view for these angles, as gluLookAt makes them.
    const double toEye[3] = {std::sin(theta) * std::sin(phi), std::sin(theta) * std::cos(phi),
                             std::cos(theta)};
    const double forward[3] = {-toEye[0], -toEye[1], -toEye[2]};
    double side[3] = {forward[1] * camera.UpZ - forward[2] * camera.UpY,
                      forward[2] * camera.UpX - forward[0] * camera.UpZ,
                      forward[0] * camera.UpY - forward[1] * camera.UpX};
    const double sideLength = std::sqrt(side[0] * side[0] + side[1] * side[1] + side[2] * side[2]);
    for (double& v : side) v /= sideLength > 0 ? sideLength : 1;
    const double up[3] = {side[1] * forward[2] - side[2] * forward[1],
                          side[2] * forward[0] - side[0] * forward[2],
                          side[0] * forward[1] - side[1] * forward[0]};

    // A corner p lies at depth d + p.forward from an eye at distance d; it is in
    // view when its sideways and upward offsets fit the field at that depth.
    const double halfHeight = std::tan(kViewFieldOfView * M_PI / 360.0) * (1 - 2 * kFitMargin);
    const double halfWidth = halfHeight * aspect;
    constexpr double kNear = 1.0;  // the renderer's near plane
    double distance = TCamera::kMinDistance;
    for (const double x : {-0.5 * xmax, 0.5 * xmax}) {
        for (const double y : {-0.5 * ymax, 0.5 * ymax}) {
            for (const double z : {lowZ, highZ + kFitHeight}) {
                const double p[3] = {x, y, z};
                const double along = p[0] * forward[0] + p[1] * forward[1] + p[2] * forward[2];
                const double across = std::fabs(p[0] * side[0] + p[1] * side[1] + p[2] * side[2]);
                const double high = std::fabs(p[0] * up[0] + p[1] * up[1] + p[2] * up[2]);
                distance = std::max({distance, across / halfWidth - along,
                                     high / halfHeight - along, kNear * 1.5 - along});
            }
        }
    }
    // A whole distance: the far plane takes the distance's whole part, and the far
    // floor corners lie less than the grid's larger side beyond it.
    camera.SetDistance(std::ceil(distance));
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
    scene.DeckSpacing = StackSpacing(scene.Decks, decks, kDefaultDeckSpacing);
    return scene;
}

int BusiestDeck(const TLogFile1& project) {
    int busiest = 0;
    for (int d = 1; d < project.DeckCount(); ++d)
        if (project.Decks[d].QuadCount() > project.Decks[busiest].QuadCount()) busiest = d;
    return busiest;
}

int CrowdedDeck(const TLogFile1& project) {
    const int decks = project.DeckCount();
    if (decks <= 0) return 0;
    std::vector<int> count(static_cast<std::size_t>(decks), 0);
    for (const TPersonData& person : project.Persons)
        if (person.ShownLevel() >= 0 && person.ShownLevel() < decks)
            ++count[static_cast<std::size_t>(person.ShownLevel())];
    return static_cast<int>(std::max_element(count.begin(), count.end()) - count.begin());
}

}  // namespace orlex
