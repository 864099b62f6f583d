// Camera arithmetic, mouse handling, deck and light commands of the view;
// nothing here needs a rendered frame.
#include <QGuiApplication>
#include <QTest>
#include <cmath>
#include <limits>
#include <vector>

#include "cellview3d.h"
#include "deck.h"
#include "viewtestutil.h"

using orlex::TCellView3D;
using orlex::TGLControl;

class TestViewCamera : public QObject {
    Q_OBJECT

private slots:
    void setDistance_data();
    void setDistance();
    void setDistanceKeepsUpVector();
    void leftDragRotates_data();
    void leftDragRotates();
    void rightDragPans_data();
    void rightDragPans();
    void disabledControlIgnoresPressAndMove();
    void middlePressOnlyStoresPosition();
    void moveWithoutButtonRecomputesEyeAndUp();
    void cursorOverridesDoNotStack();
    void initView_data();
    void initView();
    void secondProjectKeepsAnglesAndPan();
    void farPlane_data();
    void farPlane();
    void setCurrentDeck();
    void headingAngles_data();
    void headingAngles();
    void lightsAtFocus();
    void releaseProjectDropsEverything();
    void badCountsDoNotCrash();
};

static void Near(double actual, double expected, double tol = 1e-9) {
    QVERIFY2(
        std::fabs(actual - expected) <= tol,
        qPrintable(QStringLiteral("%1 != %2").arg(actual, 0, 'g', 12).arg(expected, 0, 'g', 12)));
}

void TestViewCamera::setDistance_data() {
    QTest::addColumn<double>("input");
    QTest::addColumn<double>("expected");
    QTest::newRow("below bound") << 0.5 << 1.1;
    QTest::newRow("at bound") << 1.1 << 1.1;
    QTest::newRow("large") << 10000.0 << 10000.0;
    QTest::newRow("negative") << -7.0 << 1.1;
    QTest::newRow("zero") << 0.0 << 1.1;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << 1.1;
}

void TestViewCamera::setDistance() {
    QFETCH(double, input);
    QFETCH(double, expected);
    TGLControl view;
    view.Phi = 0.3;
    view.Theta = 0.7;
    view.SetDistance(input);
    Near(view.Distance, expected);
    Near(view.EyeX, expected * std::sin(0.7) * std::sin(0.3));
    Near(view.EyeY, expected * std::sin(0.7) * std::cos(0.3));
    Near(view.EyeZ, expected * std::cos(0.7));
}

void TestViewCamera::setDistanceKeepsUpVector() {
    TGLControl view;
    view.Theta = 1.0;
    view.UpX = 0.25;  // stale on purpose: SetDistance leaves the up vector alone
    view.SetDistance(50);
    QCOMPARE(view.UpX, 0.25);
    QCOMPARE(view.UpY, 1.0);
    // An infinite distance is refused; the old one stays.
    view.SetDistance(std::numeric_limits<double>::infinity());
    QCOMPARE(view.Distance, 50.0);
}

void TestViewCamera::leftDragRotates_data() {
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");
    QTest::addColumn<double>("phi");
    QTest::addColumn<double>("theta");
    QTest::newRow("125 px right") << 125 << 0 << 1.0 << 0.0;
    QTest::newRow("125 px down") << 0 << 125 << 0.0 << 1.0;
    QTest::newRow("250 px left") << -250 << 0 << -2.0 << 0.0;
    QTest::newRow("past the pole") << 0 << 500 << 0.0 << 4.0;  // not clamped
}

void TestViewCamera::leftDragRotates() {
    QFETCH(int, dx);
    QFETCH(int, dy);
    QFETCH(double, phi);
    QFETCH(double, theta);
    TGLControl view;
    view.IsControlEnabled = true;
    view.SetDistance(100);
    view.MouseDown(Qt::LeftButton, 300, 200);
    QCOMPARE(view.MouseMode, TGLControl::kMouseRotating);
    // In two moves: the stored position must follow the mouse.
    view.MouseMove(300 + dx / 2, 200 + dy / 2);
    view.MouseMove(300 + dx, 200 + dy);
    Near(view.Phi, phi, 1e-12);
    Near(view.Theta, theta, 1e-12);
    Near(view.EyeX, 100 * std::sin(theta) * std::sin(phi));
    Near(view.EyeY, 100 * std::sin(theta) * std::cos(phi));
    Near(view.EyeZ, 100 * std::cos(theta));
    Near(view.UpX, std::cos(theta) * std::sin(phi));
    Near(view.UpY, std::cos(theta) * std::cos(phi));
    Near(view.UpZ, -std::sin(theta));
    QCOMPARE(view.PanX, 0.0);
    view.MouseUp(Qt::LeftButton, 300 + dx, 200 + dy);
    QCOMPARE(view.MouseMode, TGLControl::kMouseIdle);
}

void TestViewCamera::rightDragPans_data() {
    QTest::addColumn<double>("phi");
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");
    QTest::addColumn<double>("panX");
    QTest::addColumn<double>("panY");
    QTest::newRow("phi 0, right") << 0.0 << 100 << 0 << 100.0 << 0.0;
    QTest::newRow("phi 0, down") << 0.0 << 0 << 100 << 0.0 << -100.0;
    QTest::newRow("phi 0, up-left") << 0.0 << -40 << -40 << -40.0 << 40.0;
    QTest::newRow("phi 90, right") << M_PI / 2 << 100 << 0 << 0.0 << -100.0;
    QTest::newRow("phi 90, down") << M_PI / 2 << 0 << 100 << -100.0 << 0.0;
}

void TestViewCamera::rightDragPans() {
    QFETCH(double, phi);
    QFETCH(int, dx);
    QFETCH(int, dy);
    QFETCH(double, panX);
    QFETCH(double, panY);
    TGLControl view;
    view.IsControlEnabled = true;
    view.Phi = phi;
    view.SetDistance(800);  // k = 0.00125 * 800 = 1 scene unit per pixel
    view.MouseDown(Qt::RightButton, 50, 60);
    QCOMPARE(view.MouseMode, TGLControl::kMouseMoving);
    view.MouseMove(50 + dx, 60 + dy);
    Near(view.PanX, panX, 1e-9);
    Near(view.PanY, panY, 1e-9);
    Near(view.Phi, phi);  // panning does not turn
    view.MouseUp(Qt::RightButton, 50 + dx, 60 + dy);
}

void TestViewCamera::disabledControlIgnoresPressAndMove() {
    TGLControl view;
    view.IsControlEnabled = true;
    view.MouseDown(Qt::LeftButton, 10, 10);
    QVERIFY(QGuiApplication::overrideCursor() != nullptr);
    view.IsControlEnabled = false;
    view.MouseMove(200, 200);
    QCOMPARE(view.Phi, 0.0);
    QCOMPARE(view.MouseX, 10);
    view.MouseDown(Qt::RightButton, 99, 99);
    QCOMPARE(view.MouseMode, TGLControl::kMouseRotating);
    QCOMPARE(view.MouseX, 10);
    // The release is honoured anyway: mode cleared, arrow back.
    view.MouseUp(Qt::LeftButton, 200, 200);
    QCOMPARE(view.MouseMode, TGLControl::kMouseIdle);
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}

void TestViewCamera::middlePressOnlyStoresPosition() {
    TGLControl view;
    view.IsControlEnabled = true;
    view.MouseDown(Qt::MiddleButton, 70, 80);
    QCOMPARE(view.MouseMode, TGLControl::kMouseIdle);
    QCOMPARE(view.MouseX, 70);
    QCOMPARE(view.MouseY, 80);
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    view.MouseMove(170, 180);
    QCOMPARE(view.Phi, 0.0);
    QCOMPARE(view.PanX, 0.0);
    QCOMPARE(view.MouseX, 170);
    view.MouseUp(Qt::MiddleButton, 170, 180);
}

void TestViewCamera::moveWithoutButtonRecomputesEyeAndUp() {
    TGLControl view;
    view.IsControlEnabled = true;
    view.Distance = 10;
    view.Phi = M_PI / 2;
    view.Theta = M_PI / 2;
    view.MouseMove(5, 6);
    Near(view.EyeX, 10.0);
    Near(view.EyeY, 0.0, 1e-12);
    Near(view.EyeZ, 0.0, 1e-12);
    Near(view.UpZ, -1.0);
    QCOMPARE(view.MouseX, 5);
    QCOMPARE(view.MouseY, 6);
}

void TestViewCamera::cursorOverridesDoNotStack() {
    TGLControl view;
    view.IsControlEnabled = true;
    view.MouseDown(Qt::LeftButton, 0, 0);
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    view.MouseDown(Qt::RightButton, 0, 0);  // second button while the first is held
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    view.MouseDown(Qt::LeftButton, 0, 0);
    view.MouseUp(Qt::LeftButton, 0, 0);
    // One release restores the arrow: nothing left on the override stack.
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    view.MouseUp(Qt::RightButton, 0, 0);  // an extra release must not pop others' overrides
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    view.MouseUp(Qt::LeftButton, 0, 0);
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QGuiApplication::restoreOverrideCursor();
    // A view destroyed in the middle of a drag leaves no override behind.
    {
        TGLControl other;
        other.IsControlEnabled = true;
        other.MouseDown(Qt::RightButton, 0, 0);
    }
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}

void TestViewCamera::initView_data() {
    QTest::addColumn<int>("xmax");
    QTest::addColumn<int>("ymax");
    QTest::addColumn<int>("maxDim");
    QTest::addColumn<double>("distance");
    // pi is taken as 3.1415, hence 173.211 and not 173.205.
    QTest::newRow("200 x 100") << 200 << 100 << 200 << 173.2112;
    QTest::newRow("100 x 200") << 100 << 200 << 200 << 173.2112;
    QTest::newRow("1 x 1 (below the zoom bound)") << 1 << 1 << 1 << 0.866056;
}

void TestViewCamera::initView() {
    QFETCH(int, xmax);
    QFETCH(int, ymax);
    QFETCH(int, maxDim);
    QFETCH(double, distance);
    TCellView3D view;
    QVERIFY(view.OriginVisible);
    QCOMPARE(view.FieldOfView, 0);
    view.InitView(xmax, ymax, 3, 50);
    QCOMPARE(view.XMax, xmax);
    QCOMPARE(view.YMax, ymax);
    QCOMPARE(view.DeckCount, 3);
    QCOMPARE(view.PersonCount, 50);
    QCOMPARE(view.MaxDim, maxDim);
    QCOMPARE(view.FieldOfView, 60);
    Near(view.FieldOfViewRad, 60 * 3.1415 / 180);
    Near(view.Distance, distance, 1e-3);
    QCOMPARE(view.EyeZ, view.Distance);
    QCOMPARE(view.EyeX, 0.0);
    QCOMPARE(view.UpY, 1.0);
}

void TestViewCamera::secondProjectKeepsAnglesAndPan() {
    TCellView3D view;
    view.IsControlEnabled = true;
    view.InitView(200, 100, 1, 0);
    view.MouseDown(Qt::LeftButton, 0, 0);
    view.MouseMove(30, 40);
    view.MouseUp(Qt::LeftButton, 30, 40);
    view.MouseDown(Qt::RightButton, 0, 0);
    view.MouseMove(10, -20);
    view.MouseUp(Qt::RightButton, 10, -20);
    const double phi = view.Phi, theta = view.Theta, panX = view.PanX, panY = view.PanY;
    const double eyeX = view.EyeX, upZ = view.UpZ;
    QVERIFY(phi != 0 && theta != 0 && panX != 0 && panY != 0);
    view.InitView(50, 80, 2, 10);
    QCOMPARE(view.Phi, phi);
    QCOMPARE(view.Theta, theta);
    QCOMPARE(view.PanX, panX);
    QCOMPARE(view.PanY, panY);
    QCOMPARE(view.EyeX, eyeX);
    QCOMPARE(view.UpZ, upZ);
    Near(view.Distance, 40 / std::tan(30 * 3.1415 / 180));
    QCOMPARE(view.EyeZ, view.Distance);
}

void TestViewCamera::farPlane_data() {
    QTest::addColumn<double>("panX");
    QTest::addColumn<double>("panY");
    QTest::addColumn<double>("distance");
    QTest::addColumn<int>("maxDim");
    QTest::addColumn<double>("expected");
    QTest::newRow("example") << 30.0 << 40.0 << 173.2 << 200 << 423.0;
    QTest::newRow("negative pan") << -30.0 << -40.0 << 173.9 << 200 << 423.0;
    QTest::newRow("truncated pan") << 0.9 << 0.9 << 10.99 << 5 << 16.0;
    QTest::newRow("negative distance") << 0.0 << 0.0 << -7.5 << 3 << 10.0;
    QTest::newRow("nothing") << 0.0 << 0.0 << 0.0 << 0 << 0.0;
}

void TestViewCamera::farPlane() {
    QFETCH(double, panX);
    QFETCH(double, panY);
    QFETCH(double, distance);
    QFETCH(int, maxDim);
    QFETCH(double, expected);
    QCOMPARE(TCellView3D::FarPlane(panX, panY, distance, maxDim), expected);
}

void TestViewCamera::setCurrentDeck() {
    std::vector<orlex::TDeck> decks(3);
    TCellView3D view;
    view.InitView(10, 10, 3, 0);
    view.SetDecks(decks.data());
    view.SetCurrentDeck(2);
    QCOMPARE(view.CurrentDeck, 2);
    QCOMPARE(view.LightSet, static_cast<const orlex::TLights*>(decks[2].Lights));
    for (int bad : {-1, 3, 1000, std::numeric_limits<int>::min()}) {
        view.SetCurrentDeck(bad);
        QCOMPARE(view.CurrentDeck, 2);
        QCOMPARE(view.LightSet, static_cast<const orlex::TLights*>(decks[2].Lights));
    }
    view.SetCurrentDeck(0);
    QCOMPARE(view.LightSet, static_cast<const orlex::TLights*>(decks[0].Lights));
}

void TestViewCamera::headingAngles_data() {
    QTest::addColumn<int>("heading");
    QTest::addColumn<int>("degrees");
    const int expected[] = {0, 315, 270, 225, 180, 135, 90, 45};
    for (int h = 1; h <= 8; ++h)
        QTest::newRow(qPrintable(QStringLiteral("heading %1").arg(h))) << h << expected[h - 1];
    QTest::newRow("0") << 0 << -1;
    QTest::newRow("9") << 9 << -1;
    QTest::newRow("-3") << -3 << -1;
}

void TestViewCamera::headingAngles() {
    QFETCH(int, heading);
    QFETCH(int, degrees);
    QCOMPARE(TCellView3D::HeadingAngle(heading), degrees);
}

void TestViewCamera::lightsAtFocus() {
    std::vector<orlex::TDeck> decks(2);
    TCellView3D view;
    view.InitView(10, 10, 2, 0);
    view.SetDecks(decks.data());
    view.SetCurrentDeck(1);
    QCOMPARE(view.GetLightCount(), 0);
    view.PanX = -5;
    view.PanY = 3;
    view.AddLightAtFocus();  // above the point looked at: (5, -3)
    QCOMPARE(view.GetLightCount(), 1);
    QVERIFY(decks[1].Lights[0].On);
    QCOMPARE(decks[1].Lights[0].Position[0], 5.0f);
    QCOMPARE(decks[1].Lights[0].Position[1], -3.0f);
    QCOMPARE(decks[0].LightsOn, 0);  // only the deck shown
    view.PanX = 0;
    view.AddLightAtFocus();
    QCOMPARE(view.GetLightCount(), 2);
    view.PanX = -4;  // nearer to the first light
    view.RemoveLightAtFocus();
    QCOMPARE(view.GetLightCount(), 1);
    QVERIFY(!decks[1].Lights[0].On);
    QVERIFY(decks[1].Lights[1].On);
}

void TestViewCamera::releaseProjectDropsEverything() {
    std::vector<orlex::TDeck> decks(1);
    std::vector<orlex::TPersonData> persons(4);
    TCellView3D view;
    view.InitView(10, 10, 1, 4);
    view.SetDecks(decks.data());
    view.SetPersons(persons.data());
    view.SetCurrentDeck(0);
    view.ReleaseProject();
    QVERIFY(view.Decks == nullptr);
    QVERIFY(view.Persons == nullptr);
    QVERIFY(view.LightSet == nullptr);
    QCOMPARE(view.DeckCount, 0);
    QCOMPARE(view.PersonCount, 0);
    // Commands that arrive afterwards touch nothing.
    view.AddLightAtFocus();
    view.RemoveLightAtFocus();
    view.SetCurrentDeck(0);
    QCOMPARE(view.GetLightCount(), 0);
    QCOMPARE(decks[0].LightsOn, 0);
}

void TestViewCamera::badCountsDoNotCrash() {
    TCellView3D view;
    view.InitView(-5, 0, -2, -9);
    QCOMPARE(view.DeckCount, 0);
    QCOMPARE(view.PersonCount, 0);
    view.SetCurrentDeck(0);
    view.AddLightAtFocus();
    QCOMPARE(view.GetLightCount(), 0);
}

QTEST_MAIN(TestViewCamera)
#include "test_camera.moc"
