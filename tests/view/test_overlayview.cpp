// The view with floor overlays: the colour of a known cell in the widget and in
// the offscreen frame, the overlay following the deck shown, and the picture
// as before once the overlays are gone.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "annotation.h"
#include "offscreenview.h"
#include "overlay.h"
#include "qtsupport.h"
#include "viewfixture.h"
#include "viewtestutil.h"

using namespace viewtest;
using orlex::OverlayRgba;
using orlex::TFloorOverlay;

namespace {

// Cell (12, 7) of the 20 x 20 decks: deck point (2.5, 2.5), away from the persons.
constexpr int kColumn = 12, kRow = 7;
constexpr double kX = kColumn - 10 + 0.5, kY = 10 - kRow - 0.5;

std::vector<TFloorOverlay> OneCell(const std::vector<uint32_t>& perDeck) {
    std::vector<TFloorOverlay> overlays;
    for (uint32_t rgba : perDeck) {
        TFloorOverlay overlay;
        overlay.Columns = overlay.Rows = 20;
        overlay.Rgba.assign(400, 0);
        overlay.Rgba[kRow * 20 + kColumn] = rgba;
        overlays.push_back(std::move(overlay));
    }
    return overlays;
}

bool Near(const QColor& seen, int r, int g, int b, int tolerance = 3) {
    return std::abs(seen.red() - r) <= tolerance && std::abs(seen.green() - g) <= tolerance &&
           std::abs(seen.blue() - b) <= tolerance;
}

QString Text(const QColor& c) {
    return QStringLiteral("%1 %2 %3").arg(c.red()).arg(c.green()).arg(c.blue());
}

}  // namespace

class TestOverlayView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void colourAtAKnownCell_data();
    void colourAtAKnownCell();
    void followsTheDeck();
    void pictureAsBeforeWithoutOverlay();
    void legendPaintedOverTheFrame();

private:
    bool Load(TFixture& fx) {
        if (!fx.Load(TwoDecks_)) return false;
        fx.LookDownAt(0, 0, 30);
        return true;
    }
    QTemporaryDir Dir_;
    QString TwoDecks_;
};

void TestOverlayView::initTestCase() {
    QVERIFY(Dir_.isValid());
    TwoDecks_ = orlex::test::WriteFile(Dir_.path(), QStringLiteral("twodecks.3dl"),
                                       QString::fromLatin1(kTwoDecks));
    QVERIFY(QFile::exists(TwoDecks_));
}

void TestOverlayView::colourAtAKnownCell_data() {
    QTest::addColumn<uint>("rgba");
    QTest::newRow("red, half") << uint{OverlayRgba(255, 0, 0, 128)};
    QTest::newRow("cyan, quarter") << uint{OverlayRgba(0, 200, 255, 64)};
    QTest::newRow("green, opaque") << uint{OverlayRgba(20, 255, 20)};
    QTest::newRow("clear") << uint{OverlayRgba(255, 255, 255, 0)};
}

void TestOverlayView::colourAtAKnownCell() {
    QFETCH(uint, rgba);
    TFixture fx;
    QVERIFY(Load(fx));
    fx.Frame();  // the lights lag one frame
    const QPoint cell = Project(fx.View, kX, kY);
    const QColor floor = At(fx.Frame(), cell);
    QVERIFY2(IsNeutral(floor, 60), qPrintable(Text(floor)));

    fx.View.SetOverlays(OneCell({rgba}));
    const QImage widget = fx.Frame();
    const double a = (rgba & 255u) / 255.0;
    auto blend = [&](int f, unsigned c) { return static_cast<int>(f * (1 - a) + c * a + 0.5); };
    const int r = blend(floor.red(), rgba >> 24), g = blend(floor.green(), rgba >> 16 & 255u),
              b = blend(floor.blue(), rgba >> 8 & 255u);
    QVERIFY2(Near(At(widget, cell), r, g, b), qPrintable(Text(At(widget, cell))));
    // The neighbouring cell keeps the floor.
    QCOMPARE(At(widget, Project(fx.View, kX + 1, kY)),
             At(fx.Frame(), Project(fx.View, kX + 1, kY)));

    orlex::TOffscreenView offscreen;
    const QImage image =
        offscreen.Render(fx.View.SceneInput(), fx.View.Camera(), widget.width(), widget.height());
    QVERIFY2(!image.isNull(), qPrintable(offscreen.Problem()));
    QVERIFY2(Near(At(image, cell), r, g, b), qPrintable(Text(At(image, cell))));
}

void TestOverlayView::followsTheDeck() {
    TFixture fx;
    QVERIFY(Load(fx));
    fx.View.SetOverlays(OneCell({OverlayRgba(255, 0, 0), OverlayRgba(0, 0, 255)}));
    const QPoint cell = Project(fx.View, kX, kY);
    struct TCase {
        int Deck, R, G, B;
    };
    for (const TCase& c : {TCase{0, 255, 0, 0}, TCase{1, 0, 0, 255}, TCase{0, 255, 0, 0}}) {
        fx.View.SetCurrentDeck(c.Deck);
        const QColor seen = At(fx.Frame(), cell);
        QVERIFY2(Near(seen, c.R, c.G, c.B), qPrintable(Text(seen)));
    }
    // Only deck 0 has one: deck 1 shows its floor.
    fx.View.SetOverlays(OneCell({OverlayRgba(255, 0, 0)}));
    fx.View.SetCurrentDeck(1);
    fx.Frame();
    QVERIFY(IsNeutral(At(fx.Frame(), cell), 60));
}

void TestOverlayView::pictureAsBeforeWithoutOverlay() {
    TFixture fx;
    QVERIFY(Load(fx));
    fx.Frame();
    const QImage before = fx.Frame();
    std::vector<TFloorOverlay> overlays = OneCell({OverlayRgba(0, 255, 0, 200)});
    overlays[0].Outline.assign(400, 1);
    overlays[0].Legend = {{0.0f, OverlayRgba(0, 0, 255), "0"}, {1.0f, OverlayRgba(255, 0, 0), "9"}};
    fx.View.SetOverlays(overlays);
    QVERIFY(fx.Frame() != before);
    fx.View.SetOverlays({});
    QCOMPARE(fx.Frame(), before);
    // A released project takes its overlays with it.
    fx.View.SetOverlays(overlays);
    fx.View.ReleaseProject();
    QVERIFY(fx.View.Overlays().empty());
}

// The legend is painted with a font over the GL frame, in the top right corner;
// the scene of the next frames is drawn as before (the painter's GL state does
// not stay behind).
void TestOverlayView::legendPaintedOverTheFrame() {
    TFixture fx;
    QVERIFY(Load(fx));
    std::vector<TFloorOverlay> overlays = OneCell({OverlayRgba(0, 255, 0, 200)});
    overlays[0].Title = "Peak density (persons/m\u00b2)";
    overlays[0].Legend = {{0.0f, OverlayRgba(0, 0, 255), "0"},
                          {0.5f, OverlayRgba(0, 255, 0), "1"},
                          {1.0f, OverlayRgba(255, 0, 0), "2"}};
    fx.View.SetOverlays(overlays);
    fx.Frame();
    const QImage frame = fx.Frame();
    const orlex::TLegendLayout l =
        orlex::LegendBoxLayout(overlays[0], frame.width(), frame.height());
    QVERIFY(!l.Box.isEmpty());
    QVERIFY(l.Box.left() > frame.width() / 2);
    const int x = static_cast<int>(l.Bar.center().x());
    const QColor top = frame.pixelColor(x, static_cast<int>(l.Bar.top()) + 3);
    const QColor bottom = frame.pixelColor(x, static_cast<int>(l.Bar.bottom()) - 3);
    QVERIFY2(Near(top, 255, 0, 0, 40), qPrintable(Text(top)));
    QVERIFY2(Near(bottom, 0, 0, 255, 40), qPrintable(Text(bottom)));
    int light = 0;  // the title's white letters on the dark box
    for (int yy = static_cast<int>(l.Title.top()); yy < l.Title.bottom(); ++yy)
        for (int xx = static_cast<int>(l.Title.left()); xx < l.Title.right(); ++xx)
            light += frame.pixelColor(xx, yy).lightness() > 180;
    QVERIFY(light > 30);
    // The map under the legend is drawn as without it, frame after frame.
    const QPoint cell = Project(fx.View, kX, kY);
    std::vector<TFloorOverlay> bare = overlays;
    bare[0].Legend.clear();
    fx.View.SetOverlays(bare);
    fx.Frame();
    const QColor without = At(fx.Frame(), cell);
    fx.View.SetOverlays(overlays);
    for (int k = 0; k < 3; ++k) QCOMPARE(At(fx.Frame(), cell), without);
}

QTEST_MAIN(TestOverlayView)
#include "test_overlayview.moc"
