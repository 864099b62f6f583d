// TAppSettings: defaults, round trips and the "not of its type" rules, all in a
// temporary settings folder.
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "appsettings.h"

using orlex::TAppSettings;

class TestAppSettings : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    const QString title_ = QStringLiteral("ORLEX Viewer Test");

    // Writes a raw value the way a hand-edited store (or another program) could.
    void Raw(const QString& key, const QVariant& value) {
        QSettings s(TAppSettings::Organisation(), title_);
        s.setValue(key, value);
    }
    QVariant RawValue(const QString& key) {
        QSettings s(TAppSettings::Organisation(), title_);
        return s.value(key);
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
    }
    void init() {
        QSettings s(TAppSettings::Organisation(), title_);
        s.clear();
        s.sync();
    }

    void storeIsInTemporaryFolder() {
        TAppSettings st(title_);
        st.SetLogDir("x");
        QSettings s(TAppSettings::Organisation(), title_);
        QVERIFY2(s.fileName().startsWith(dir_.path()), qPrintable(s.fileName()));
    }

    void defaultsWhenMissing() {
        const TAppSettings st(title_);
        QCOMPARE(st.MaxAnimationSpeed(), 5);
        QCOMPARE(st.LogDir(), QString());
        QCOMPARE(st.LastProjects(), QStringList());
        QCOMPARE(st.ScreenShotSaveOption(), 1);
        QCOMPARE(st.ScreenShotSaveDirectory(), QString());
        QCOMPARE(st.IsOverwritingAsked(), false);
        QCOMPARE(st.ScreenShotResizeOption(), 1);
        QCOMPARE(st.ScreenShotResizeValue(), 100);
    }

    void roundTrip() {
        TAppSettings st(title_);
        st.SetMaxAnimationSpeed(9);
        st.SetLogDir("/data/ships/ferry, deck.3dl");
        st.SetScreenShotSaveOption(3);
        st.SetScreenShotSaveDirectory("/tmp/shots");
        st.SetIsOverwritingAsked(true);
        st.SetScreenShotResizeOption(2);
        st.SetScreenShotResizeValue(-7);
        QVERIFY(st.LastWriteOk());
        const TAppSettings other(title_);  // a fresh object reads the store again
        QCOMPARE(other.MaxAnimationSpeed(), 9);
        QCOMPARE(other.LogDir(), QString("/data/ships/ferry, deck.3dl"));
        QCOMPARE(other.ScreenShotSaveOption(), 3);
        QCOMPARE(other.ScreenShotSaveDirectory(), QString("/tmp/shots"));
        QCOMPARE(other.IsOverwritingAsked(), true);
        QCOMPARE(other.ScreenShotResizeOption(), 2);
        QCOMPARE(other.ScreenShotResizeValue(), -7);
        QCOMPARE(RawValue("IsOverwritingAsked").toString(), QString("1"));
        st.SetIsOverwritingAsked(false);
        QCOMPARE(RawValue("IsOverwritingAsked").toString(), QString("0"));
    }

    void titlesAreSeparate() {
        TAppSettings a(title_);
        TAppSettings b(title_ + " 2");
        a.SetMaxAnimationSpeed(11);
        QCOMPARE(b.MaxAnimationSpeed(), 5);
        QSettings(TAppSettings::Organisation(), title_ + " 2").clear();
    }

    void integerTypeRules_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("expected");  // -999 stands for "the default"
        QTest::newRow("text fast") << QVariant("fast") << -999;
        QTest::newRow("empty text") << QVariant("") << -999;
        QTest::newRow("fraction") << QVariant("1.5") << -999;
        QTest::newRow("trailing junk") << QVariant("12px") << -999;
        QTest::newRow("hex text") << QVariant("0x10") << -999;
        QTest::newRow("too big") << QVariant("99999999999") << -999;
        QTest::newRow("list") << QVariant(QStringList{"1", "2"}) << -999;
        QTest::newRow("decimal text") << QVariant("7") << 7;
        QTest::newRow("spaces") << QVariant(" 8 ") << 8;
        QTest::newRow("negative") << QVariant("-3") << -3;
        QTest::newRow("dword wraps") << QVariant("4294967295") << -1;
        QTest::newRow("int") << QVariant(42) << 42;
    }
    void integerTypeRules() {
        QFETCH(QVariant, stored);
        QFETCH(int, expected);
        const struct {
            const char* key;
            int fallback;
            int (TAppSettings::*get)() const;
        } values[] = {
            {"MaxAnimationSpeed", 5, &TAppSettings::MaxAnimationSpeed},
            {"ScreenShotSaveOption", 1, &TAppSettings::ScreenShotSaveOption},
            {"ScreenShotResizeOption", 1, &TAppSettings::ScreenShotResizeOption},
            {"ScreenShotResizeValue", 100, &TAppSettings::ScreenShotResizeValue},
        };
        for (const auto& v : values) {
            init();
            Raw(v.key, stored);
            const TAppSettings st(title_);
            QCOMPARE((st.*v.get)(), expected == -999 ? v.fallback : expected);
        }
    }

    void textStoredSpeedReadsDefaultAndIsWrittenBack() {
        Raw("MaxAnimationSpeed", "fast");
        TAppSettings st(title_);
        const int speed = st.MaxAnimationSpeed();
        QCOMPARE(speed, 5);
        st.SetMaxAnimationSpeed(speed);
        QCOMPARE(RawValue("MaxAnimationSpeed").toString(), QString("5"));
        QCOMPARE(TAppSettings(title_).MaxAnimationSpeed(), 5);
    }

    void eachValueFallsBackAlone() {
        Raw("ScreenShotSaveOption", "three");
        Raw("ScreenShotSaveDirectory", QStringList{"a", "b"});
        Raw("IsOverwritingAsked", 1);
        Raw("ScreenShotResizeOption", "x");
        Raw("ScreenShotResizeValue", 55);
        const TAppSettings st(title_);
        QCOMPARE(st.ScreenShotSaveOption(), 1);
        QCOMPARE(st.ScreenShotSaveDirectory(), QString());
        QCOMPARE(st.IsOverwritingAsked(), true);
        QCOMPARE(st.ScreenShotResizeOption(), 1);
        QCOMPARE(st.ScreenShotResizeValue(), 55);
    }

    void deckSpacing_data() {
        QTest::addColumn<QVariant>("stored");  // invalid: missing
        QTest::addColumn<double>("expected");
        QTest::newRow("missing") << QVariant() << 3.0;
        QTest::newRow("text") << QVariant("4.5") << 4.5;
        QTest::newRow("number") << QVariant(12) << 12.0;
        QTest::newRow("lowest") << QVariant("1") << 1.0;
        QTest::newRow("highest") << QVariant("20") << 20.0;
        QTest::newRow("too small") << QVariant("0.5") << 3.0;
        QTest::newRow("too large") << QVariant("21") << 3.0;
        QTest::newRow("word") << QVariant("wide") << 3.0;
        QTest::newRow("list") << QVariant(QStringList{"1", "2"}) << 3.0;
    }
    void deckSpacing() {
        QFETCH(QVariant, stored);
        QFETCH(double, expected);
        if (stored.isValid()) Raw("DeckSpacing", stored);
        QCOMPARE(TAppSettings(title_).DeckSpacing(), expected);
    }

    void deckSpacingRoundTrip() {
        TAppSettings(title_).SetDeckSpacing(6.25);
        QCOMPARE(RawValue("DeckSpacing").toString(), QString("6.25"));
        QCOMPARE(TAppSettings(title_).DeckSpacing(), 6.25);
    }

    void overwritingAsked_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("expected");
        QTest::newRow("0") << QVariant(0) << false;
        QTest::newRow("1") << QVariant(1) << true;
        QTest::newRow("2") << QVariant(2) << true;
        QTest::newRow("-1 text") << QVariant("-1") << true;
        QTest::newRow("true text") << QVariant("true") << false;
        QTest::newRow("yes") << QVariant("yes") << false;
    }
    void overwritingAsked() {
        QFETCH(QVariant, stored);
        QFETCH(bool, expected);
        Raw("IsOverwritingAsked", stored);
        QCOMPARE(TAppSettings(title_).IsOverwritingAsked(), expected);
    }

    void lastProjectsRead_data() {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("gap skipped")
            << QStringList{"1", "3"} << QVariantList{"A", "C"} << QStringList{"A", "C"};
        QTest::newRow("empty skipped") << QStringList{"1", "2", "3", "4"}
                                       << QVariantList{"", "B", "", "D"} << QStringList{"B", "D"};
        QTest::newRow("fifth ignored")
            << QStringList{"1", "2", "3", "4", "5"} << QVariantList{"A", "B", "C", "D", "E"}
            << QStringList{"A", "B", "C", "D"};
        QTest::newRow("list stops reading")
            << QStringList{"1", "2", "3"} << QVariantList{"A", QStringList{"x", "y"}, "C"}
            << QStringList{"A"};
    }
    void lastProjectsRead() {
        QFETCH(QStringList, keys);
        QFETCH(QVariantList, values);
        QFETCH(QStringList, expected);
        for (int i = 0; i < keys.size(); ++i) Raw("Last Projects/" + keys[i], values[i]);
        QCOMPARE(TAppSettings(title_).LastProjects(), expected);
    }

    void lastProjectsWriteKeepsValuesOfEmptyEntries() {
        Raw("Last Projects/2", "old B");
        Raw("Last Projects/4", "old D");
        TAppSettings st(title_);
        st.SetLastProjects({"N", "", "M", "", "ignored"});
        QCOMPARE(RawValue("Last Projects/1").toString(), QString("N"));
        QCOMPARE(RawValue("Last Projects/2").toString(), QString("old B"));
        QCOMPARE(RawValue("Last Projects/3").toString(), QString("M"));
        QCOMPARE(RawValue("Last Projects/4").toString(), QString("old D"));
        QVERIFY(!RawValue("Last Projects/5").isValid());
        QCOMPARE(st.LastProjects(), (QStringList{"N", "old B", "M", "old D"}));
    }
};

QTEST_GUILESS_MAIN(TestAppSettings)
#include "test_appsettings.moc"
