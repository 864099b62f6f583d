// The import dialog: the last values come back, the frame rate and the unit are asked
// for only where the file gives neither, and what is entered becomes the options.
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "appsettings.h"
#include "importform.h"
#include "qtsupport.h"

using namespace orlex;
using namespace orlex::test;

namespace {

import::TFileFacts Text(double fps, import::TLengthUnit unit){import::TFileFacts facts;
facts.Format = import::TFormat::PeTrack;
facts.TextRows = true;
facts.Fps = fps;
facts.Unit = unit;
return facts;
}  // namespace

}  // namespace

class TestImportForm : public QObject {
    Q_OBJECT

private slots:
    void fieldsOnlyWhereTheFileSaysNothing_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<double>("fps");
        QTest::addColumn<int>("unit");
        QTest::addColumn<bool>("asksFps");
        QTest::addColumn<bool>("asksUnit");
        QTest::addColumn<QString>("fpsShown");
        const int none = int(import::TLengthUnit::Unknown);
        const int cm = int(import::TLengthUnit::Centimetre);
        const int text = int(import::TFormat::PeTrack);
        QTest::newRow("text saying neither") << text << 0.0 << none << true << true << "";
        QTest::newRow("text saying both")
            << text << 25.0 << cm << false << false << "25 frames a second (from the file)";
        QTest::newRow("text saying the rate")
            << text << 10.0 << none << false << true << "10 frames a second (from the file)";
        QTest::newRow("JuPedSim") << int(import::TFormat::JuPedSim) << 0.0 << none << false << false
                                  << "from the file";
    }
    void fieldsOnlyWhereTheFileSaysNothing() {
        QFETCH(int, format);
        QFETCH(double, fps);
        QFETCH(int, unit);
        QFETCH(bool, asksFps);
        QFETCH(bool, asksUnit);
        QFETCH(QString, fpsShown);
        import::TFileFacts facts = Text(fps, import::TLengthUnit(unit));
        facts.Format = import::TFormat(format);
        facts.TextRows = facts.Format == import::TFormat::PeTrack;
        TImportForm form(nullptr, "/data/run.txt", facts, TImportValues{});
        QCOMPARE(form.FpsEdit != nullptr, asksFps);
        QCOMPARE(form.FpsLabel != nullptr, !asksFps);
        QCOMPARE(form.UnitBox != nullptr, asksUnit);
        QCOMPARE(form.UnitLabel != nullptr, !asksUnit);
        if (form.FpsLabel) QCOMPARE(form.FpsLabel->text(), fpsShown);
        const import::TImportOptions options = form.Options();
        QCOMPARE(options.Format, facts.Format);
        // What the file gives is not overridden.
        if (!asksFps) QCOMPARE(options.Text.Fps, 0.0);
        if (!asksUnit) QCOMPARE(options.Text.Unit, import::TLengthUnit::Unknown);
    }

    void lastValuesComeBackAndEnteredOnesAreTheOptions() {
        TTempSettings store;
        TAppSettings settings;
        QCOMPARE(settings.ImportValues(), TImportValues{});  // missing: the defaults
        TImportValues last;
        last.CellSize = 0.5;
        last.Geometry = "/data/room.wkt";
        last.Fps = 16;
        last.Centimetres = true;
        settings.SetImportValues(last);
        QCOMPARE(settings.ImportValues(), last);

        TImportForm form(nullptr, "/data/run.txt", Text(0, import::TLengthUnit::Unknown),
                         settings.ImportValues());
        QCOMPARE(form.CellSizeEdit->value(), 0.5);
        QCOMPARE(form.GeometryEdit->text(), QString("/data/room.wkt"));
        QCOMPARE(form.FpsEdit->value(), 16.0);
        QCOMPARE(form.UnitBox->currentIndex(), 1);

        form.ChooseGeometry = [](const QString& folder) {
            return folder == "/data" ? QString("/data/deck.floor") : QString();
        };
        QTest::mouseClick(form.BrowseButton, Qt::LeftButton);
        QCOMPARE(form.GeometryEdit->text(), QString("/data/deck.floor"));
        form.CellSizeEdit->setValue(0.25);
        form.FpsEdit->setValue(25);
        form.UnitBox->setCurrentIndex(0);
        const import::TImportOptions options = form.Options();
        QCOMPARE(*options.CellSize, 0.25);
        QCOMPARE(options.GeometryPath, std::string("/data/deck.floor"));
        QCOMPARE(options.Text.Fps, 25.0);
        QCOMPARE(options.Text.Unit, import::TLengthUnit::Metre);
        settings.SetImportValues(form.Values());
        QCOMPARE(settings.ImportValues().Geometry, QString("/data/deck.floor"));
        QCOMPARE(settings.ImportValues().Centimetres, false);

        // A file that gives its rate keeps the remembered one for the next file.
        TImportForm given(nullptr, "/data/b.txt", Text(10, import::TLengthUnit::Metre),
                          settings.ImportValues());
        QCOMPARE(given.Values().Fps, 25.0);
    }

    void badStoredValuesReadAsDefaults() {
        TTempSettings store;
        TAppSettings settings;
        TImportValues bad;
        bad.CellSize = 50;  // out of range
        bad.Fps = 0;
        settings.SetImportValues(bad);
        QCOMPARE(settings.ImportValues().CellSize, 0.4);
        QCOMPARE(settings.ImportValues().Fps, 25.0);
    }
};

QTEST_MAIN(TestImportForm)
#include "test_importform.moc"
