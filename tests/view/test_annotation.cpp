// The legends and caption bands painted over frames: what each overlay's legend
// says (title with its unit, round ticks, the six classes with their limits),
// that every part lands inside the picture at any size without overlapping, and
// the band's pixels.
#include <QImage>
#include <QPainter>
#include <QTest>
#include <cmath>

#include "analysis.h"
#include "analysisoverlay.h"
#include "annotation.h"
#include "logfile.h"
#include "recorders.h"

using namespace orlex;

namespace {

struct TSample {
    std::unique_ptr<TLogFile1> Project;
    std::unique_ptr<TAnalysisResult> Result;
};

QStringList Labels(const TFloorOverlay& overlay) {
    QStringList labels;
    for (const auto& stop : overlay.Legend) labels << QString::fromStdString(stop.Label);
    return labels;
}

bool Overlapping(const std::vector<QRectF>& rects) {
    for (std::size_t i = 0; i < rects.size(); ++i)
        for (std::size_t j = i + 1; j < rects.size(); ++j)
            if (rects[i].intersects(rects[j])) return true;
    return false;
}

TFloorOverlay Discrete() {
    TFloorOverlay overlay;
    overlay.Discrete = true;
    overlay.Title = "Level of service (persons/m\u00b2)";
    const char* labels[] = {"A  < 0.31",         "B  0.31\u20130.43", "C  0.43\u20130.72",
                            "D  0.72\u20131.08", "E  1.08\u20132.17", "F  \u2265 2.17"};
    for (int i = 0; i < 6; ++i)
        overlay.Legend.push_back({i / 6.0f, OverlayRgba(40 * i, 200 - 30 * i, 40), labels[i]});
    return overlay;
}

TFloorOverlay Continuous() {
    TFloorOverlay overlay;
    overlay.Title = "Time above 4 persons/m\u00b2 (s)";
    const char* labels[] = {"0", "250", "500", "750", "1000", "1250"};
    for (int i = 0; i < 6; ++i)
        overlay.Legend.push_back({i / 5.0f, OverlayRgba(50 * i, 0, 255 - 50 * i), labels[i]});
    return overlay;
}

}  // namespace

class TestAnnotation : public QObject {
    Q_OBJECT

    TSample Sample_;

private slots:
    void initTestCase() {
        Sample_.Project = std::make_unique<TLogFile1>("Deck");
        test::TRecorder recorder;
        QVERIFY(Sample_.Project->LoadFromFile(ORLEX_SOURCE_DIR "/samples/ship.3dl", recorder,
                                              recorder));
        Sample_.Result = TEvacuationAnalysis(*Sample_.Project, TAnalysisSettings{}).Run();
        QVERIFY(Sample_.Result);
    }

    void legendOfEveryKind_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("discrete");
        QTest::newRow("peak") << "peak" << QString::fromUtf8("Peak density (persons/m²)") << false;
        QTest::newRow("above") << "above" << QString::fromUtf8("Time above 4 persons/m² (s)")
                               << false;
        QTest::newRow("usage") << "usage"
                               << "Usage (person-seconds)" << false;
        QTest::newRow("los") << "los" << QString::fromUtf8("Level of service (persons/m²)") << true;
    }
    void legendOfEveryKind() {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(bool, discrete);
        TOverlayKind kind = TOverlayKind::None;
        QVERIFY(OverlayKindOf(name.toUtf8().constData(), kind));
        const std::vector<TFloorOverlay> overlays =
            FloorOverlays(*Sample_.Result, *Sample_.Project, kind);
        QCOMPARE(static_cast<int>(overlays.size()), Sample_.Project->DeckCount());
        const TFloorOverlay& overlay = overlays[0];
        QCOMPARE(QString::fromStdString(overlay.Title), title);
        QCOMPARE(overlay.Discrete, discrete);
        QVERIFY(overlay.HasLegend());
        const QStringList labels = Labels(overlay);
        if (discrete) {
            QCOMPARE(
                labels,
                QStringList({QString::fromUtf8("A  < 0.31"), QString::fromUtf8("B  0.31–0.43"),
                             QString::fromUtf8("C  0.43–0.72"), QString::fromUtf8("D  0.72–1.08"),
                             QString::fromUtf8("E  1.08–2.17"), QString::fromUtf8("F  ≥ 2.17")}));
            for (std::size_t i = 0; i < overlay.Legend.size(); ++i)
                QCOMPARE(overlay.Legend[i].At, static_cast<float>(i) / 6.0f);  // equal bands
            return;
        }
        // Round ticks, evenly spread from the bottom to the top of the bar.
        QVERIFY(labels.size() >= 3);
        QCOMPARE(overlay.Legend.front().At, 0.0f);
        QCOMPARE(overlay.Legend.back().At, 1.0f);
        const double step = labels[1].toDouble() - labels[0].toDouble();
        const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
        QVERIFY2(std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 ||
                     std::abs(mantissa - 2.5) < 1e-9 || std::abs(mantissa - 5) < 1e-9,
                 qPrintable(labels.join(' ')));
        for (int i = 1; i < labels.size(); ++i) {
            bool ok = false;
            QVERIFY(std::abs(labels[i].toDouble(&ok) - labels[0].toDouble() - i * step) < 1e-9);
            QVERIFY(ok);
        }
    }

    // The legend whole and readable in the view's corner and in the band, at the
    // sizes reports use and in small pictures; never cut, never overlapping.
    void layoutsFitEverySize_data() {
        QTest::addColumn<bool>("discrete");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<double>("minimumPixels");
        for (const bool discrete : {false, true}) {
            const char* kind = discrete ? "classes" : "scale";
            QTest::addRow("%s 1920x1080", kind) << discrete << QSize(1920, 1080) << 20.0;
            QTest::addRow("%s 1280x720", kind) << discrete << QSize(1280, 720) << 14.0;
            QTest::addRow("%s 640x360", kind) << discrete << QSize(640, 360) << 8.0;
            QTest::addRow("%s 320x180", kind) << discrete << QSize(320, 180) << 1.0;
            QTest::addRow("%s 64x48", kind) << discrete << QSize(64, 48) << 1.0;
        }
    }
    void layoutsFitEverySize() {
        QFETCH(bool, discrete);
        QFETCH(QSize, size);
        QFETCH(double, minimumPixels);
        const TFloorOverlay overlay = discrete ? Discrete() : Continuous();
        const QRectF picture(0, 0, size.width(), size.height());

        const TLegendLayout box = LegendBoxLayout(overlay, size.width(), size.height());
        QVERIFY(picture.contains(box.Box));
        QVERIFY(box.Box.contains(box.Title));
        QVERIFY(box.Box.contains(box.Bar));
        QCOMPARE(box.Labels.size(), overlay.Legend.size());
        for (const QRectF& label : box.Labels) QVERIFY(box.Box.contains(label));
        QVERIFY(!Overlapping(box.Labels));

        TCaption caption{"Time: 12:34 min", "Deck 2 - Muster stations", &overlay};
        const TBandLayout band = CaptionBandLayout(caption, size.width(), size.height());
        QVERIFY(band.Pixels >= minimumPixels);
        QCOMPARE(band.Band,
                 QRectF(0, 0, size.width(), CaptionBandHeight(size.width(), size.height(), true)));
        QVERIFY(band.Band.height() <= size.height() / 2);
        for (const QRectF& part : {band.Time, band.Deck, band.Legend.Box})
            QVERIFY2(band.Band.contains(part), qPrintable(QString::number(part.right())));
        for (const QRectF& label : band.Legend.Labels) QVERIFY(band.Legend.Box.contains(label));
        QVERIFY(!Overlapping(band.Legend.Labels));
        QVERIFY(!band.Legend.Box.intersects(band.Time.united(band.Deck)));
        if (size.width() >= 1280)
            QCOMPARE(band.Pixels, AnnotationPixels(size.width(), size.height()));
    }

    void bandWithoutLegendIsLowerAndGrowsWithThePicture() {
        QVERIFY(CaptionBandHeight(1280, 720, false) < CaptionBandHeight(1280, 720, true));
        QVERIFY(CaptionBandHeight(1920, 1080, true) > CaptionBandHeight(1280, 720, true));
        QVERIFY(CaptionBandHeight(1280, 720, true) <= 720 / 8);
        TCaption caption{"Time: 0:00 min", "Deck", nullptr};
        QVERIFY(CaptionBandLayout(caption, 1280, 720).Legend.Box.isEmpty());
        QCOMPARE(LegendBoxLayout(TFloorOverlay{}, 1280, 720).Box, QRectF());
    }

    // Painted: the band's light ground at the top, the bar's colours at its ends,
    // dark text on it; the rows below untouched.
    void paintedBandShowsTheBarColours() {
        const TFloorOverlay overlay = Continuous();
        QImage image(1280, 720, QImage::Format_RGB32);
        image.fill(QColor(0, 0, 51));
        {
            QPainter painter(&image);
            PaintCaptionBand(painter, {"Time: 1:37 min", "Deck 1", &overlay}, 1280, 720);
        }
        const TBandLayout l = CaptionBandLayout({"Time: 1:37 min", "Deck 1", &overlay}, 1280, 720);
        QCOMPARE(image.pixelColor(1, 1), QColor(245, 245, 245));
        QCOMPARE(image.pixelColor(1, static_cast<int>(l.Band.bottom()) + 1), QColor(0, 0, 51));
        const int y = static_cast<int>(l.Legend.Bar.center().y());
        const QColor low = image.pixelColor(static_cast<int>(l.Legend.Bar.left()) + 3, y);
        const QColor high = image.pixelColor(static_cast<int>(l.Legend.Bar.right()) - 3, y);
        QVERIFY2(low.blue() > 200 && low.red() < 40, qPrintable(low.name()));
        QVERIFY2(high.red() > 200 && high.blue() < 40, qPrintable(high.name()));
        int dark = 0;
        for (int x = 0; x < static_cast<int>(l.Time.right()); ++x)
            for (int yy = static_cast<int>(l.Time.top()); yy < l.Time.bottom(); ++yy)
                dark += image.pixelColor(x, yy).lightness() < 100;
        QVERIFY(dark > 50);
    }
};

QTEST_MAIN(TestAnnotation)
#include "test_annotation.moc"
