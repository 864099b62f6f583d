// The offscreen view: the same picture as the widget for the same scene and
// camera, any size, no shown window, and the persons with a bad heading.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "offscreenview.h"
#include "qtsupport.h"
#include "viewfixture.h"
#include "viewtestutil.h"

using namespace viewtest;
using orlex::TOffscreenView;

class TestOffscreenView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void samePictureAsTheWidget_data();
    void samePictureAsTheWidget();
    void anySizeWithoutAShownWindow();
    void badHeadingsOfTheFrame();

private:
    QTemporaryDir Dir_;
    QString TwoDecks_, Crowd_, Example_;
};

void TestOffscreenView::initTestCase() {
    QVERIFY(Dir_.isValid());
    TwoDecks_ = orlex::test::WriteFile(Dir_.path(), QStringLiteral("twodecks.3dl"),
                                       QString::fromLatin1(kTwoDecks));
    Crowd_ = orlex::test::WriteFile(Dir_.path(), QStringLiteral("crowd.3dl"),
                                    QString::fromLatin1(CrowdFile()));
    QVERIFY(QFile::exists(TwoDecks_) && QFile::exists(Crowd_));
    Example_ = QStringLiteral(ORLEX_SOURCE_DIR "/samples/example.3dl");
}

void TestOffscreenView::samePictureAsTheWidget_data() {
    QTest::addColumn<int>("file");   // 0 example, 1 two decks, 2 crowd
    QTest::addColumn<int>("dragY");  // 125 px turn the camera one radian
    QTest::addColumn<bool>("batched");
    QTest::addColumn<bool>("origin");
    QTest::newRow("example, oblique") << 0 << 70 << true << true;
    QTest::newRow("example, from below") << 0 << 260 << true << false;
    QTest::newRow("two decks, listed") << 1 << 70 << false << true;
    QTest::newRow("crowd, top view") << 2 << 0 << true << false;
}

void TestOffscreenView::samePictureAsTheWidget() {
    QFETCH(int, file);
    QFETCH(int, dragY);
    QFETCH(bool, batched);
    QFETCH(bool, origin);
    TFixture fx;
    QVERIFY(fx.Load(file == 0 ? Example_ : file == 1 ? TwoDecks_ : Crowd_));
    if (!origin) fx.View.ToggleOrigin();
    fx.View.BatchPersons = batched;
    fx.View.BatchQuads = batched;
    fx.View.IsControlEnabled = true;
    if (file == 0) fx.View.SetDistance(12);
    if (file == 1) fx.View.SetDistance(14);
    fx.View.MouseDown(Qt::LeftButton, 0, 0);
    fx.View.MouseMove(40, dragY);
    fx.View.MouseUp(Qt::LeftButton, 40, dragY);
    fx.Frame();  // the lights lag one frame
    const QImage widget = fx.Frame();
    TOffscreenView offscreen;
    const QImage image =
        offscreen.Render(fx.View.SceneInput(), fx.View.Camera(), widget.width(), widget.height());
    QVERIFY2(!image.isNull(), qPrintable(offscreen.Problem()));
    const TComparison c = Compare(image, widget);
    QVERIFY2(c.Drawn > 10000, "the scene must be in the picture");
    QVERIFY2(c.Alike(), qPrintable(c.Text() + QStringLiteral(" (") + offscreen.Backend() + ")"));
}

void TestOffscreenView::anySizeWithoutAShownWindow() {
    orlex::TNullProgress progress;
    orlex::TNullMessages quiet;
    orlex::TLogFile1 project("Deck");
    QVERIFY(project.LoadFromFile(TwoDecks_.toStdString(), progress, quiet));
    orlex::TCellView3D view;  // never shown: no context of its own
    view.InitView(project.XMax, project.YMax, project.DeckCount(), project.PersonCount());
    view.SetDecks(project.DeckData());
    view.SetPersons(project.PersonData());
    view.SetCurrentDeck(0);
    QVERIFY(!view.HasContext());
    TOffscreenView offscreen;
    for (const QSize size : {QSize(1000, 200), QSize(64, 640), QSize(1, 1)}) {
        const QImage image =
            offscreen.Render(view.SceneInput(), view.Camera(), size.width(), size.height());
        QVERIFY2(!image.isNull(), qPrintable(offscreen.Problem()));
        QCOMPARE(image.size(), size);
        if (size.width() > 1) QVERIFY(NonBackgroundPixels(image) > size.width());
    }
    // A size no framebuffer can hold: a null image and the reason.
    QVERIFY(offscreen.Render(view.SceneInput(), view.Camera(), 1000000, 10).isNull());
    QVERIFY2(offscreen.Problem().contains(QStringLiteral("1000000 x 10")),
             qPrintable(offscreen.Problem()));
    // And it goes on drawing afterwards.
    QVERIFY(!offscreen.Render(view.SceneInput(), view.Camera(), 50, 50).isNull());
}

void TestOffscreenView::badHeadingsOfTheFrame() {
    TFixture fx;
    QVERIFY(fx.Load(TwoDecks_));
    TOffscreenView offscreen;
    orlex::TSceneInput scene = fx.View.SceneInput();
    QVERIFY(!offscreen.Render(scene, fx.View.Camera(), 100, 80).isNull());
    QCOMPARE(offscreen.BadHeadings(), std::vector<int>{3});  // person D
    scene.CurrentDeck = 1;
    QVERIFY(!offscreen.Render(scene, fx.View.Camera(), 100, 80).isNull());
    QVERIFY(offscreen.BadHeadings().empty());
}

QTEST_MAIN(TestOffscreenView)
#include "test_offscreen.moc"
