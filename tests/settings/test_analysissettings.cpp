// The analysis settings: stored as texts, read back, defaults for values out of
// range or no numbers, and the "Analysis" page of the options dialog refusing
// values out of range with the validation's message.
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include "appsettings.h"
#include "optionsform.h"
#include "qtsupport.h"

using namespace orlex;
using orlex::test::TRecordingMessages;

namespace {

QString Problem(TAnalysisSetting setting) {
    TAnalysisSettings bad;
    switch (setting) {
        case TAnalysisSetting::CellSize:
            bad.CellSize = 0;
            break;
        case TAnalysisSetting::Window:
            bad.Window = 0;
            break;
        case TAnalysisSetting::DensityLimit:
            bad.DensityLimit = 0;
            break;
        case TAnalysisSetting::CongestionShare:
            bad.CongestionShare = -1;
            break;
        case TAnalysisSetting::FlowWindow:
            bad.FlowWindow = 0;
            break;
    }
    return QString::fromStdString(ValidateAnalysisSettings(bad)->Message);
}

bool Same(const TAnalysisSettings& a, const TAnalysisSettings& b) {
    return a.CellSize == b.CellSize && a.Window == b.Window && a.DensityLimit == b.DensityLimit &&
           a.CongestionShare == b.CongestionShare && a.FlowWindow == b.FlowWindow;
}

}  // namespace

class TestAnalysisSettings : public QObject {
    Q_OBJECT

    orlex::test::TTempSettings temp_;

private slots:
    void init() { orlex::test::ClearSettings(); }

    void DefaultsAndRoundTrip() {
        TAppSettings settings;
        QVERIFY(Same(settings.AnalysisSettings(), TAnalysisSettings{}));
        settings.SetAnalysisSettings({0.5, 7, 2.5, 0.2, 30});
        QVERIFY(settings.LastWriteOk());
        QVERIFY(Same(settings.AnalysisSettings(), {0.5, 7, 2.5, 0.2, 30}));
        auto raw = orlex::test::RawSettings();
        QCOMPARE(raw.value("AnalysisCellSize").toString(), QString("0.5"));
        QCOMPARE(raw.value("AnalysisWindow").toString(), QString("7"));
        QCOMPARE(raw.value("AnalysisDensityLimit").toString(), QString("2.5"));
        QCOMPARE(raw.value("AnalysisCongestionShare").toString(), QString("0.2"));
        QCOMPARE(raw.value(SettingName(TAnalysisSetting::FlowWindow)).toString(), QString("30"));
    }

    // Each stored value is read by itself; a bad one takes its default alone.
    void StoredValues_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<double>("cellSize");
        QTest::addColumn<int>("window");
        QTest::addColumn<double>("limit");
        QTest::addColumn<double>("share");
        QTest::newRow("cell size")
            << "AnalysisCellSize" << QVariant("1.25") << 1.25 << 5 << 4.0 << 0.1;
        QTest::newRow("cell size, spaces")
            << "AnalysisCellSize" << QVariant(" 2 ") << 2.0 << 5 << 4.0 << 0.1;
        QTest::newRow("cell size too small")
            << "AnalysisCellSize" << QVariant("0.01") << 0.4 << 5 << 4.0 << 0.1;
        QTest::newRow("cell size, comma")
            << "AnalysisCellSize" << QVariant("0,5") << 0.4 << 5 << 4.0 << 0.1;
        QTest::newRow("cell size, nan")
            << "AnalysisCellSize" << QVariant("nan") << 0.4 << 5 << 4.0 << 0.1;
        QTest::newRow("window") << "AnalysisWindow" << QVariant("9") << 0.4 << 9 << 4.0 << 0.1;
        QTest::newRow("window even") << "AnalysisWindow" << QVariant("4") << 0.4 << 5 << 4.0 << 0.1;
        QTest::newRow("window fraction")
            << "AnalysisWindow" << QVariant("3.5") << 0.4 << 5 << 4.0 << 0.1;
        QTest::newRow("window huge")
            << "AnalysisWindow" << QVariant("1e300") << 0.4 << 5 << 4.0 << 0.1;
        QTest::newRow("limit") << "AnalysisDensityLimit" << QVariant("100") << 0.4 << 5 << 100.0
                               << 0.1;
        QTest::newRow("limit 0") << "AnalysisDensityLimit" << QVariant("0") << 0.4 << 5 << 4.0
                                 << 0.1;
        QTest::newRow("limit, list")
            << "AnalysisDensityLimit" << QVariant(QStringList{"1", "2"}) << 0.4 << 5 << 4.0 << 0.1;
        QTest::newRow("share 1") << "AnalysisCongestionShare" << QVariant("1") << 0.4 << 5 << 4.0
                                 << 1.0;
        QTest::newRow("share above 1")
            << "AnalysisCongestionShare" << QVariant("1.5") << 0.4 << 5 << 4.0 << 0.1;
        QTest::newRow("share, text")
            << "AnalysisCongestionShare" << QVariant("half") << 0.4 << 5 << 4.0 << 0.1;
    }
    void StoredValues() {
        QFETCH(QString, key);
        QFETCH(QVariant, stored);
        QFETCH(double, cellSize);
        QFETCH(int, window);
        QFETCH(double, limit);
        QFETCH(double, share);
        orlex::test::RawSettings().setValue(key, stored);
        const TAnalysisSettings read = TAppSettings().AnalysisSettings();
        QCOMPARE(read.CellSize, cellSize);
        QCOMPARE(read.Window, window);
        QCOMPARE(read.DensityLimit, limit);
        QCOMPARE(read.CongestionShare, share);
    }

    void PageShowsAndReturnsSettings() {
        TOptionsForm form;
        QCOMPARE(form.PageControl1->tabText(form.PageControl1->indexOf(form.AnalysisPage)),
                 QString("Analysis"));
        QCOMPARE(form.CellSizeEdit->text(), QString("0.4"));
        form.SetAnalysisSettings({0.3, 3, 1.5, 0.25});
        QCOMPARE(form.WindowEdit->text(), QString("3"));
        QCOMPARE(form.CongestionShareEdit->text(), QString("0.25"));
        const auto entered = form.EnteredAnalysisSettings();
        QVERIFY(entered);
        QVERIFY(Same(*entered, {0.3, 3, 1.5, 0.25}));
    }

    void OkRefusesOutOfRange_data() {
        QTest::addColumn<int>("edit");  // 0 cell size, 1 window, 2 limit, 3 share, 4 flow
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("cell size 5") << 0 << "5" << true;
        QTest::newRow("cell size 5.01") << 0 << "5.01" << false;
        QTest::newRow("cell size empty") << 0 << "" << false;
        QTest::newRow("window 15") << 1 << "15" << true;
        QTest::newRow("window 17") << 1 << "17" << false;
        QTest::newRow("window even") << 1 << "2" << false;
        QTest::newRow("window text") << 1 << "five" << false;
        QTest::newRow("limit 0.01") << 2 << "0.01" << true;
        QTest::newRow("limit 0") << 2 << "0" << false;
        QTest::newRow("limit inf") << 2 << "inf" << false;
        QTest::newRow("share 0") << 3 << "0" << true;
        QTest::newRow("share -0.1") << 3 << "-0.1" << false;
        QTest::newRow("flow window 600") << 4 << "600" << true;
        QTest::newRow("flow window 0.5") << 4 << "0.5" << false;
    }
    void OkRefusesOutOfRange() {
        QFETCH(int, edit);
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        TOptionsForm form;
        TRecordingMessages messages;
        form.SetMessages(&messages);
        TOptions1 options;
        form.SetOptions(&options);
        QLineEdit* edits[] = {form.CellSizeEdit, form.WindowEdit, form.DensityLimitEdit,
                              form.CongestionShareEdit, form.FlowWindowEdit};
        edits[edit]->setText(text);
        form.BitBtn1Click();
        QCOMPARE(form.result() == QDialog::Accepted, accepted);
        if (accepted) {
            QVERIFY(messages.Messages.empty());
            return;
        }
        QCOMPARE(orlex::test::ShownTexts(messages),
                 QStringList{Problem(static_cast<TAnalysisSetting>(edit))});
        QCOMPARE(orlex::test::ShownCaptions(messages), QStringList{"Error"});
        QCOMPARE(form.PageControl1->currentWidget(), form.AnalysisPage);
    }

    // The screen-shot checks come first: their message is the one shown.
    void ScreenShotMessageFirst() {
        TOptionsForm form;
        TRecordingMessages messages;
        form.SetMessages(&messages);
        form.SetMainClientSize(QSize(100, 100));
        TOptions1 options;
        options.ScreenShotResizeOption = 2;
        form.SetOptions(&options);
        form.Edit1->setText("500");
        form.WindowEdit->setText("4");
        form.BitBtn1Click();
        QCOMPARE(messages.Messages.size(), std::size_t{1});
        QVERIFY(orlex::test::ShownTexts(messages).front().startsWith("The width"));
        QCOMPARE(form.PageControl1->currentWidget(), form.TabSheet1);
    }
};

QTEST_MAIN(TestAnalysisSettings)
#include "test_analysissettings.moc"
