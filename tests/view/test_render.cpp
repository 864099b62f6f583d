// Pixels of rendered frames: background, deck quads, origin marker, person
// glyphs and their headings, deck switching, lights, release, heading errors
// and a context without the fixed-function pipeline.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QSurfaceFormat>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <memory>
#include <vector>

#include "cellview3d.h"
#include "logfile.h"
#include "playback.h"
#include "viewfixture.h"
#include "viewtestutil.h"

using namespace viewtest;
using orlex::TCellView3D;

namespace {

// Counts the frames drawn.
class TCountingView : public TCellView3D {
public:
    int Frames = 0;
    void RenderScene() override {
        ++Frames;
        Quiet_.start();
        TCellView3D::RenderScene();
    }
    // True once no frame was drawn for ms milliseconds (for QTRY_VERIFY).
    bool QuietFor(int ms) {
        if (!Quiet_.isValid()) Quiet_.start();
        return Quiet_.elapsed() >= ms;
    }

private:
    QElapsedTimer Quiet_;
};

}  // namespace

class TestViewRender : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void backgroundBeforeLoading();
    void exampleDeckTopView();
    void originMarkerToggles();
    void personAppearsAtItsCellAfterSteps();
    void glyphPointsAlongHeading_data();
    void glyphPointsAlongHeading();
    void otherDeckPersonsHidden();
    void batchedAndListedDrawingLookTheSame_data();
    void batchedAndListedDrawingLookTheSame();
    void lightsChangeFloorShading();
    void releasedProjectShowsBackground();
    void badHeadingReportedOnceAfterTheFrame();
    void coreProfileReportedWithoutCrash_data();
    void coreProfileReportedWithoutCrash();
    void newContextAfterReparentingStillDraws();
    void paintIsSynchronousInvalidateIsNot();
    void qtMouseEventsDriveTheCamera();

private:
    QTemporaryDir Dir_;
    QString TwoDecks_;
    QString Example_;
    QString Crowd_;
};

void TestViewRender::initTestCase() {
    QVERIFY(Dir_.isValid());
    TwoDecks_ = Dir_.filePath(QStringLiteral("twodecks.3dl"));
    QFile f(TwoDecks_);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(kTwoDecks);
    f.close();
    Crowd_ = Dir_.filePath(QStringLiteral("crowd.3dl"));
    QFile crowd(Crowd_);
    QVERIFY(crowd.open(QIODevice::WriteOnly));
    crowd.write(CrowdFile());
    crowd.close();
    Example_ = QStringLiteral(ORLEX_SOURCE_DIR "/samples/example.3dl");
    QVERIFY(QFile::exists(Example_));
}

void TestViewRender::backgroundBeforeLoading() {
    TCellView3D view;
    QVERIFY(ShowAndWait(view));
    const QImage image = view.grabFramebuffer();
    QCOMPARE(image.size(), QSize(480, 360));
    QCOMPARE(NonBackgroundPixels(image), 0);
}

void TestViewRender::exampleDeckTopView() {
    TFixture fx;
    QVERIFY(fx.Load(Example_));
    fx.View.ToggleOrigin();
    fx.LookDownAt(0, 0, 30);
    const QImage image = fx.Frame();
    // Row 0 is a block from y 1 to 2 (top 0.2 grey at z 3), rows 1-2 hold white
    // floor, a light red cell (x 1..2, y 0..1) and a light green one below it.
    const QColor white = At(image, Project(fx.View, -0.5, 0.5));
    const QColor block = At(image, Project(fx.View, -0.5, 1.5, 3.0));
    const QColor red = At(image, Project(fx.View, 1.5, 0.5));
    const QColor green = At(image, Project(fx.View, 1.5, -0.5));
    const QColor outside = At(image, Project(fx.View, 0, 4));
    QVERIFY2(IsNeutral(white, 60), qPrintable(white.name()));
    QVERIFY2(IsNeutral(block, 5), qPrintable(block.name()));
    QVERIFY(Brightness(block) < Brightness(white) / 2);
    QVERIFY2(red.red() > red.green() + 20 && std::abs(red.green() - red.blue()) <= 3,
             qPrintable(red.name()));
    QVERIFY2(green.green() > green.red() + 20 && green.red() > 40, qPrintable(green.name()));
    QVERIFY2(IsBackground(outside), qPrintable(outside.name()));
    // Persons start at (-1.5, 0.5) and (-1.5, -0.5), facing east.
    QVERIFY(IsGlyphGreen(At(image, Project(fx.View, -1.5, 0.5, kGlyphTop))));
    QVERIFY(IsGlyphGreen(At(image, Project(fx.View, -1.5, -0.5, kGlyphTop))));
}

void TestViewRender::originMarkerToggles() {
    TFixture fx;
    QVERIFY(fx.Load(Example_));
    fx.LookDownAt(0, 0, 30);
    const QPoint centre(fx.View.width() / 2, fx.View.height() / 2);
    QVERIFY(fx.View.OriginVisible);
    QVERIFY2(IsGlyphGreen(At(fx.Frame(), centre)), "marker expected at the centre");
    // The marker stays at the centre while the scene is moved.
    fx.LookDownAt(-0.5, 0.5, 30);
    QVERIFY(IsGlyphGreen(At(fx.Frame(), centre)));
    fx.View.ToggleOrigin();
    QVERIFY(!fx.View.OriginVisible);
    QVERIFY(IsNeutral(At(fx.Frame(), centre), 60));
    fx.View.ToggleOrigin();
    QVERIFY(IsGlyphGreen(At(fx.Frame(), centre)));
}

void TestViewRender::personAppearsAtItsCellAfterSteps() {
    TFixture fx;
    QVERIFY(fx.Load(Example_));
    fx.View.ToggleOrigin();
    fx.LookDownAt(0, 0, 30);
    const QPoint target = Project(fx.View, 0.5, 0.5, kGlyphTop);
    QVERIFY(!IsGlyphGreen(At(fx.Frame(), target)));
    orlex::TPlayback playback;
    playback.SetProject(&fx.Project);
    playback.StepForward();
    playback.StepForward();  // person 0 walked two cells east: (0.5, 0.5)
    QImage image = fx.Frame();
    QVERIFY(IsGlyphGreen(At(image, target)));
    QVERIFY(!IsGlyphGreen(At(image, Project(fx.View, -1.5, 0.5, kGlyphTop))));
    for (int k = 0; k < 3; ++k) playback.StepForward();  // both saved: gone
    image = fx.Frame();
    QVERIFY(!IsGlyphGreen(At(image, target)));
    QVERIFY(!IsGlyphGreen(At(image, Project(fx.View, 1.5, -0.5, kGlyphTop))));
}

void TestViewRender::glyphPointsAlongHeading_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("dirX");  // where the apex must point
    QTest::addColumn<double>("dirY");
    QTest::newRow("heading 3: +x") << kPersonA.X << kPersonA.Y << 1.0 << 0.0;
    QTest::newRow("heading 7: -x") << kPersonB.X << kPersonB.Y << -1.0 << 0.0;
    QTest::newRow("bad heading: unturned, +y") << kPersonD.X << kPersonD.Y << 0.0 << 1.0;
}

void TestViewRender::glyphPointsAlongHeading() {
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, dirX);
    QFETCH(double, dirY);
    TFixture fx;
    QVERIFY(fx.Load(TwoDecks_));
    fx.View.ToggleOrigin();
    fx.LookDownAt(x, y, 20);
    const QImage image = fx.Frame();
    // Apex 0.577 ahead of the centre, the base 0.289 behind it.
    const QColor ahead = At(image, Project(fx.View, x + 0.45 * dirX, y + 0.45 * dirY, kGlyphTop));
    const QColor behind = At(image, Project(fx.View, x - 0.45 * dirX, y - 0.45 * dirY, kGlyphTop));
    QVERIFY2(IsGlyphGreen(ahead), qPrintable(ahead.name()));
    QVERIFY2(!IsGlyphGreen(behind), qPrintable(behind.name()));
    QVERIFY(IsGlyphGreen(At(image, Project(fx.View, x, y, kGlyphTop))));
}

void TestViewRender::otherDeckPersonsHidden() {
    TFixture fx;
    QVERIFY(fx.Load(TwoDecks_));
    fx.View.ToggleOrigin();
    fx.LookDownAt(0, 0, 30);
    const QPoint a = Project(fx.View, kPersonA.X, kPersonA.Y, kGlyphTop);
    const QPoint c = Project(fx.View, kPersonC.X, kPersonC.Y, kGlyphTop);
    QImage image = fx.Frame();
    QVERIFY(IsGlyphGreen(At(image, a)));
    QVERIFY(!IsGlyphGreen(At(image, c)));
    fx.View.SetCurrentDeck(1);
    image = fx.Frame();
    QVERIFY(!IsGlyphGreen(At(image, a)));
    QVERIFY(IsGlyphGreen(At(image, c)));
    // Deck 1 is grey floor: darker than the white of deck 0.
    const QPoint floor = Project(fx.View, -2.5, 2.5);
    const int grey = Brightness(At(image, floor));
    fx.View.SetCurrentDeck(0);
    QVERIFY(Brightness(At(fx.Frame(), floor)) > grey + 20);
}

void TestViewRender::batchedAndListedDrawingLookTheSame_data() {
    QTest::addColumn<int>("file");   // 0 example, 1 two decks, 2 crowd
    QTest::addColumn<int>("dragY");  // 125 px turn the camera one radian
    QTest::addColumn<bool>("batchPersons");
    QTest::addColumn<bool>("batchQuads");
    QTest::newRow("persons batched") << 1 << 70 << true << false;
    QTest::newRow("quads batched, with blocks") << 0 << 70 << false << true;
    QTest::newRow("quads batched, blocks seen from below") << 0 << 260 << false << true;
    QTest::newRow("both batched") << 1 << 70 << true << true;
    QTest::newRow("crowd of sub-pixel persons") << 2 << 70 << true << true;
}

// The batched paths must draw what one call per person and per quad draws.
void TestViewRender::batchedAndListedDrawingLookTheSame() {
    QFETCH(int, file);
    QFETCH(int, dragY);
    QFETCH(bool, batchPersons);
    QFETCH(bool, batchQuads);
    TFixture fx;
    QVERIFY(fx.Load(file == 0 ? Example_ : file == 1 ? TwoDecks_ : Crowd_));
    fx.View.ToggleOrigin();
    // An oblique view, so that the sides of the glyphs and blocks show too.
    fx.View.IsControlEnabled = true;
    if (file == 1) {
        fx.View.PanY = 2;  // between the persons of deck 0
        fx.View.SetDistance(14);
    } else if (file == 0) {
        fx.View.SetDistance(12);
    }
    fx.View.MouseDown(Qt::LeftButton, 0, 0);
    fx.View.MouseMove(40, dragY);
    fx.View.MouseUp(Qt::LeftButton, 40, dragY);
    fx.View.BatchPersons = false;
    fx.View.BatchQuads = false;
    // Persons are lit with the light positions of the previous frame: draw one first.
    fx.Frame();
    const QImage reference = fx.Frame();
    fx.View.BatchPersons = batchPersons;
    fx.View.BatchQuads = batchQuads;
    const QImage image = fx.Frame();
    if (qEnvironmentVariableIsSet("ORLEX_VIEW_DUMP")) {
        reference.save(QDir::temp().filePath(QStringLiteral("view_reference.png")));
        image.save(QDir::temp().filePath(QStringLiteral("view_batched.png")));
    }
    const TComparison c = Compare(image, reference);
    QVERIFY2(c.Drawn > 10000, "the scene must be in the picture");
    if (batchPersons) QVERIFY2(c.Glyph > 200, "persons must be in the picture");
    QVERIFY2(c.Alike(), qPrintable(c.Text()));
}

void TestViewRender::lightsChangeFloorShading() {
    TFixture fx;
    QVERIFY(fx.Load(TwoDecks_));
    fx.View.ToggleOrigin();
    QCOMPARE(fx.View.GetLightCount(), 1);  // the default light at (0, 0)
    fx.LookDownAt(0, 0, 30);
    const QPoint spot = Project(fx.View, 7.5, 7.5);
    const int before = Brightness(At(fx.Frame(), spot));
    fx.LookDownAt(7.5, 7.5, 30);
    fx.View.AddLightAtFocus();
    QCOMPARE(fx.View.GetLightCount(), 2);
    fx.LookDownAt(0, 0, 30);
    const int lit = Brightness(At(fx.Frame(), spot));
    QVERIFY2(lit > before + 30, qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(lit)));
    fx.LookDownAt(7.5, 7.5, 30);
    fx.View.RemoveLightAtFocus();
    fx.View.RemoveLightAtFocus();  // now the last one, at (0, 0)
    QCOMPARE(fx.View.GetLightCount(), 0);
    fx.LookDownAt(0, 0, 30);
    const int dark = Brightness(At(fx.Frame(), spot));
    QVERIFY2(std::abs(dark) < before, qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(dark)));
}

void TestViewRender::releasedProjectShowsBackground() {
    TFixture fx;
    QVERIFY(fx.Load(Example_));
    fx.LookDownAt(0, 0, 30);
    QVERIFY(NonBackgroundPixels(fx.Frame()) > 1000);
    fx.View.ReleaseProject();
    QCOMPARE(NonBackgroundPixels(fx.Frame()), 0);
    // A paint through the normal cycle must not touch the released arrays either.
    fx.View.Paint();
    QApplication::processEvents();
    // The next project draws again.
    fx.View.InitView(fx.Project.XMax, fx.Project.YMax, fx.Project.DeckCount(),
                     fx.Project.PersonCount());
    fx.View.SetDecks(fx.Project.DeckData());
    fx.View.SetPersons(fx.Project.PersonData());
    fx.View.SetCurrentDeck(0);
    fx.LookDownAt(0, 0, 30);
    QVERIFY(NonBackgroundPixels(fx.Frame()) > 1000);
}

void TestViewRender::badHeadingReportedOnceAfterTheFrame() {
    TFixture fx;
    QVERIFY(fx.Load(TwoDecks_));
    QApplication::processEvents();
    fx.Messages.Messages.clear();
    fx.Frame();
    // Never from inside the frame: only once the event loop runs.
    QCOMPARE(fx.Messages.Messages.size(), std::size_t{0});
    QApplication::processEvents();
    QCOMPARE(fx.Messages.Messages.size(), std::size_t{1});
    const TShownMessage& m = fx.Messages.Messages.front();
    QCOMPARE(m.Text, std::string("Error in:\n\nTCellView3D::RenderScene()\n\nContact Quenwick!"));
    QCOMPARE(m.Caption, std::string("Error"));
    QVERIFY(m.Icon == orlex::TMsgIcon::Warning);
    QVERIFY(m.Buttons == orlex::TMsgButtons::Ok);
    for (int i = 0; i < 5; ++i) {
        fx.View.Paint();
        fx.Frame();
        QApplication::processEvents();
    }
    QCOMPARE(fx.Messages.Messages.size(), std::size_t{1});
    // Not drawn on deck 1: nothing to report there. A fresh project reports again.
    fx.View.InitView(fx.Project.XMax, fx.Project.YMax, fx.Project.DeckCount(),
                     fx.Project.PersonCount());
    fx.View.SetCurrentDeck(1);
    fx.Frame();
    QApplication::processEvents();
    QCOMPARE(fx.Messages.Messages.size(), std::size_t{1});
    fx.View.SetCurrentDeck(0);
    fx.Frame();
    QApplication::processEvents();
    QCOMPARE(fx.Messages.Messages.size(), std::size_t{2});
}

void TestViewRender::coreProfileReportedWithoutCrash_data() {
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("profile");
    QTest::addColumn<bool>("es");
    QTest::addColumn<QString>("named");
    QTest::newRow("core profile") << 3 << 3 << int(QSurfaceFormat::CoreProfile) << false
                                  << QStringLiteral("compatibility profile");
    QTest::newRow("OpenGL ES") << 2 << 0 << int(QSurfaceFormat::NoProfile) << true
                               << QStringLiteral("OpenGL ES");
}

void TestViewRender::coreProfileReportedWithoutCrash() {
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, profile);
    QFETCH(bool, es);
    QFETCH(QString, named);
    TRecordingMessages messages;
    TCellView3D view;
    view.SetMessages(&messages);
    QSurfaceFormat format;
    format.setVersion(major, minor);
    format.setProfile(static_cast<QSurfaceFormat::OpenGLContextProfile>(profile));
    if (es) format.setRenderableType(QSurfaceFormat::OpenGLES);
    format.setDepthBufferSize(24);
    view.setFormat(format);
    QVERIFY(!ShowAndWait(view));
    QTRY_COMPARE(messages.Messages.size(), std::size_t{1});
    QVERIFY2(QString::fromStdString(messages.Messages.front().Text).contains(named),
             messages.Messages.front().Text.c_str());
    QCOMPARE(messages.Messages.front().Caption, std::string("Error"));
    // The view goes on without drawing.
    view.InitView(20, 20, 1, 0);
    view.SetDistance(30);
    view.Paint();
    view.grabFramebuffer();
    QApplication::processEvents();
    QCOMPARE(messages.Messages.size(), std::size_t{1});
}

// Moving the view into another window gives it a new context: the display
// lists, the lights and the projection must come back with it.
void TestViewRender::newContextAfterReparentingStillDraws() {
    QWidget host;  // outlives the view even when a check fails
    TFixture fx;
    QVERIFY(fx.Load(TwoDecks_));
    fx.LookDownAt(kPersonA.X, kPersonA.Y, 20);
    const QPoint centre(fx.View.width() / 2, fx.View.height() / 2);
    const QImage before = fx.Frame();
    QVERIFY(IsGlyphGreen(At(before, centre)));  // the marker over person A
    host.resize(600, 500);
    fx.View.setParent(&host);
    fx.View.resize(480, 360);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QApplication::processEvents();
    QVERIFY(fx.View.HasContext());
    fx.View.ToggleOrigin();
    const QImage after = fx.Frame();
    if (qEnvironmentVariableIsSet("ORLEX_VIEW_DUMP"))
        after.save(QDir::temp().filePath(QStringLiteral("view_after_reparent.png")));
    QCOMPARE(after.size(), before.size());
    QVERIFY2(IsGlyphGreen(At(after, centre)), "person glyph lost with the old context");
    const QPoint floor = Project(fx.View, kPersonA.X + 3, kPersonA.Y + 3);
    QVERIFY(std::abs(Brightness(At(after, floor)) - Brightness(At(before, floor))) <= 6);
    fx.View.setParent(nullptr);
}

void TestViewRender::paintIsSynchronousInvalidateIsNot() {
    std::vector<orlex::TDeck> decks(2);
    TCountingView view;
    QVERIFY(ShowAndWait(view));
    view.InitView(10, 10, 2, 0);
    view.SetDecks(decks.data());
    view.SetCurrentDeck(0);
    QApplication::processEvents();
    // Qt folds a repaint into the next frame when the window was composed less
    // than a refresh interval ago; past that, Paint draws before it returns.
    QTRY_VERIFY(view.QuietFor(100));
    view.Frames = 0;
    view.Paint();
    QCOMPARE(view.Frames, 1);
    view.Invalidate();
    view.Invalidate();
    QCOMPARE(view.Frames, 1);
    QTRY_VERIFY(view.Frames >= 2);
    // A deck index out of range asks for no repaint.
    QApplication::processEvents();
    const int frames = view.Frames;
    view.SetCurrentDeck(-1);
    view.SetCurrentDeck(2);
    // A repaint asked for would have been drawn before the view is quiet.
    QTRY_VERIFY(view.QuietFor(50));
    QCOMPARE(view.Frames, frames);
    view.SetCurrentDeck(1);
    QTRY_VERIFY(view.Frames > frames);
}

void TestViewRender::qtMouseEventsDriveTheCamera() {
    TCellView3D view;
    QVERIFY(ShowAndWait(view));
    view.IsControlEnabled = true;
    view.SetDistance(800);
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QMouseEvent move(QEvent::MouseMove, QPointF(225, 100), view.mapToGlobal(QPointF(225, 100)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &move);
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(225, 100));
    QVERIFY(std::fabs(view.Phi - 1.0) < 1e-12);
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    QTest::mousePress(&view, Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    QTest::mouseRelease(&view, Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(view.MouseMode, orlex::TGLControl::kMouseIdle);
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}

QTEST_MAIN(TestViewRender)
#include "test_render.moc"
