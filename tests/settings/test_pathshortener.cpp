// Shortening of paths for the message panel.
#include <QFont>
#include <QFontMetrics>
#include <QtTest>

#include "pathshortener.h"

using orlex::ShortenPath;

namespace {
int CharCount(const QString& text) {
    return static_cast<int>(text.size());
}
}  // namespace

class TestPathShortener : public QObject {
    Q_OBJECT
private slots:
    void ShortensOneStepAtATime_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("expected");
        const QString ferry = R"(C:\Projects\Ships\Ferry\evac.3dl)";  // 32 characters
        QTest::newRow("fits") << ferry << "\\" << 32 << ferry;
        QTest::newRow("first directory") << ferry << "\\" << 31 << R"(C:\...\Ships\Ferry\evac.3dl)";
        QTest::newRow("second directory") << ferry << "\\" << 26 << R"(C:\...\Ferry\evac.3dl)";
        QTest::newRow("all directories") << ferry << "\\" << 20 << R"(C:\...\evac.3dl)";
        QTest::newRow("drive goes") << ferry << "\\" << 14 << R"(...\evac.3dl)";
        QTest::newRow("name alone") << ferry << "\\" << 11 << "evac.3dl";
        QTest::newRow("name never cut") << ferry << "\\" << 3 << "evac.3dl";
        QTest::newRow("unix path") << "/home/ann/runs/ship.3dl"
                                   << "/" << 20 << "/.../runs/ship.3dl";
        QTest::newRow("unix to name") << "/home/ann/runs/ship.3dl"
                                      << "/" << 12 << ".../ship.3dl";
        QTest::newRow("bare name") << "ship.3dl"
                                   << "/" << 2 << "ship.3dl";
        QTest::newRow("root directory") << "/ship.3dl"
                                        << "/" << 4 << "ship.3dl";
        QTest::newRow("drive root") << R"(C:\ship.3dl)"
                                    << "\\" << 4 << "ship.3dl";
        QTest::newRow("drive without directory") << "C:ship.3dl"
                                                 << "\\" << 4 << "C:ship.3dl";
        QTest::newRow("network share") << R"(\\server\share\a\ship.3dl)"
                                       << "\\" << 18 << R"(\...\a\ship.3dl)";
        QTest::newRow("empty") << ""
                               << "/" << 0 << "";
    }
    void ShortensOneStepAtATime() {
        QFETCH(QString, path);
        QFETCH(QString, separator);
        QFETCH(int, width);
        QFETCH(QString, expected);
        QCOMPARE(ShortenPath(path, width, CharCount, separator.at(0)), expected);
    }

    // Whatever the width, the result fits or is the bare file name, and the
    // function returns (no endless shortening).
    void EndsForEveryWidth() {
        const QString paths[] = {
            R"(C:\a\b\c\d.3dl)", "/x/y/z.3dl", R"(\\h\s\f.3dl)", "/", "\\", "C:",
            R"(C:\\\\x.3dl)",    "////a.3dl"};
        for (const QString& path : paths) {
            for (int width = -1; width <= path.size() + 1; ++width) {
                for (QChar sep : {QChar('/'), QChar('\\')}) {
                    const QString result = ShortenPath(path, width, CharCount, sep);
                    const QString name = path.mid(path.lastIndexOf(sep) + 1);
                    QVERIFY2(result.size() <= width || result == name || result.endsWith(name),
                             qPrintable(path + " -> " + result));
                }
            }
        }
    }

    void MeasuresInTheFont() {
        const QFontMetrics metrics{QFont()};
        const QString longPath = "/" + QString("directory/").repeated(80) + "evac.3dl";
        const QString shortened = ShortenPath(longPath, 500, metrics);
        QVERIFY(metrics.horizontalAdvance(shortened) <= 500);
        QVERIFY(shortened.endsWith("/directory/evac.3dl"));
        QVERIFY(shortened.startsWith("/.../"));
    }
};

QTEST_MAIN(TestPathShortener)
#include "test_pathshortener.moc"
