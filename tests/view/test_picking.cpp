// Picking and following in the widget: a click on a glyph picks its person, a
// click on bare floor or a drag picks nothing; the picked person is yellow and
// leaves a yellow trail; centring the camera on a point.
#include <QSignalSpy>
#include <QTest>

#include "playback.h"
#include "viewfixture.h"
#include "viewtestutil.h"

using namespace viewtest;

namespace {

bool IsYellow(const QColor& c) {
    return c.red() > 90 && c.green() > 90 && c.blue() < 50 && std::abs(c.red() - c.green()) < 40;
}

// Any yellow pixel within one pixel of p.
bool YellowNear(const QImage& image, QPoint p) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint q = p + QPoint(dx, dy);
            if (image.rect().contains(q) && IsYellow(image.pixelColor(q))) return true;
        }
    return false;
}

}  // namespace

class TestViewPicking : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void clickPicksTheGlyphUnderTheMouse_data();
    void clickPicksTheGlyphUnderTheMouse();
    void dragDoesNotPick();
    void pickedPersonIsYellowWithItsTrail();
    void centreOnPansToThePoint();

private:
    QString Example_;
};

void TestViewPicking::initTestCase() {
    Example_ = QStringLiteral(ORLEX_SOURCE_DIR "/samples/example.3dl");
}

void TestViewPicking::clickPicksTheGlyphUnderTheMouse_data() {
    QTest::addColumn<double>("x");  // the point clicked, on top of the glyphs
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("expected");
    QTest::newRow("person 0") << -1.5 << 0.5 << 0;
    QTest::newRow("person 1") << -1.5 << -0.5 << 1;
    QTest::newRow("bare floor") << 0.5 << 0.5 << -1;
    QTest::newRow("beside the deck") << 0.0 << 4.0 << -1;
}

void TestViewPicking::clickPicksTheGlyphUnderTheMouse() {
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(int, expected);
    TFixture fx;
    QVERIFY(fx.Load(Example_));
    fx.View.IsControlEnabled = true;
    fx.LookDownAt(0, 0, 30);
    fx.View.SetPickedPerson(1 - std::max(expected, 0));  // another one, or a pick to clear
    QSignalSpy picked(&fx.View, &orlex::TCellView3D::PersonPicked);
    const QPoint at = Project(fx.View, x, y, kGlyphTop);
    QTest::mouseClick(&fx.View, Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(picked.count(), 1);
    QCOMPARE(picked.front().front().toInt(), expected);
    QCOMPARE(fx.View.PickedPerson, expected);
    QCOMPARE(fx.View.PickAt(at.x(), at.y()), expected);
}

void TestViewPicking::dragDoesNotPick() {
    TFixture fx;
    QVERIFY(fx.Load(Example_));
    fx.View.IsControlEnabled = true;
    fx.LookDownAt(0, 0, 30);
    QSignalSpy picked(&fx.View, &orlex::TCellView3D::PersonPicked);
    const QPoint at = Project(fx.View, -1.5, 0.5, kGlyphTop);
    // Within three pixels it is still a click (and turns the camera a little).
    QTest::mousePress(&fx.View, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(&fx.View, Qt::LeftButton, Qt::NoModifier, at + QPoint(3, -3));
    QCOMPARE(picked.count(), 1);
    // Four pixels is a drag: nothing is picked, the pick stays.
    const double phi = fx.View.Phi;
    QTest::mousePress(&fx.View, Qt::LeftButton, Qt::NoModifier, at);
    QMouseEvent move(QEvent::MouseMove, QPointF(at + QPoint(4, 0)),
                     fx.View.mapToGlobal(QPointF(at + QPoint(4, 0))), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&fx.View, &move);
    QTest::mouseRelease(&fx.View, Qt::LeftButton, Qt::NoModifier, at + QPoint(4, 0));
    QCOMPARE(picked.count(), 1);
    QVERIFY(std::fabs(fx.View.Phi - (phi + 4 * orlex::TGLControl::kRotationPerPixel)) < 1e-12);
    // Right clicks and a disabled control pick nothing.
    QTest::mouseClick(&fx.View, Qt::RightButton, Qt::NoModifier, at);
    fx.View.IsControlEnabled = false;
    QTest::mouseClick(&fx.View, Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(picked.count(), 1);
}

void TestViewPicking::pickedPersonIsYellowWithItsTrail() {
    TFixture fx;
    QVERIFY(fx.Load(Example_));
    fx.View.ToggleOrigin();
    orlex::TPlayback playback;
    playback.SetProject(&fx.Project);
    fx.View.SetPlayback(&playback);
    playback.StepForward();
    playback.StepForward();  // both walked two cells east: to (0.5, 0.5) and (0.5, -0.5)
    fx.LookDownAt(0, 0, 30);
    const QPoint zero = Project(fx.View, 0.5, 0.5, kGlyphTop);
    const QPoint one = Project(fx.View, 0.5, -0.5, kGlyphTop);
    // On person 0's way, clear of its glyph at the start and after two steps.
    const QPoint path = Project(fx.View, -0.25, 0.5, orlex::kTrailHeight);
    QImage image = fx.Frame();
    QVERIFY(IsGlyphGreen(At(image, zero)));
    QVERIFY(!YellowNear(image, path));
    fx.View.SetPickedPerson(0);
    image = fx.Frame();
    QVERIFY2(IsYellow(At(image, zero)), qPrintable(At(image, zero).name()));
    QVERIFY(IsGlyphGreen(At(image, one)));
    QVERIFY2(YellowNear(image, path), "the trail from the start cell");
    // The trail follows the counter back: at the start there is none.
    playback.ResetToStart();
    image = fx.Frame();
    QVERIFY(!YellowNear(image, path));
    // Everyone's trails are orange, not yellow.
    fx.View.SetPickedPerson(-1);
    fx.View.SetShowAllTrails(true);
    for (int k = 0; k < 2; ++k) playback.StepForward();
    image = fx.Frame();
    QVERIFY(!YellowNear(image, path));
    const QColor trail = At(image, path);
    QVERIFY2(trail.red() > 200 && trail.green() > 100 && trail.green() < 180,
             qPrintable(trail.name()));
    // A new project drops the pick.
    fx.View.SetPickedPerson(1);
    fx.View.InitView(fx.Project.XMax, fx.Project.YMax, fx.Project.DeckCount(),
                     fx.Project.PersonCount());
    QCOMPARE(fx.View.PickedPerson, -1);
    fx.View.SetPickedPerson(7);  // out of range: ignored
    QCOMPARE(fx.View.PickedPerson, -1);
}

void TestViewPicking::centreOnPansToThePoint() {
    TFixture fx;
    QVERIFY(fx.Load(Example_));
    fx.View.ToggleOrigin();
    fx.View.SetDistance(30);
    fx.View.CentreOn(-1.5, 0.5);
    QCOMPARE(fx.View.PanX, 1.5);
    QCOMPARE(fx.View.PanY, -0.5);
    const QPoint centre(fx.View.width() / 2, fx.View.height() / 2);
    QVERIFY(IsGlyphGreen(At(fx.Frame(), centre)));
    QCOMPARE(fx.View.PickAt(centre.x(), centre.y()), 0);
}

QTEST_MAIN(TestViewPicking)
#include "test_picking.moc"
