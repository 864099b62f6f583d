// The "Person" panel: its texts along the example's playback, the cell of a
// position for every cell of odd and even grids, and the "Follow" box.
#include <QCheckBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "personpanel.h"
#include "projects.h"

using namespace orlex;
using namespace orlex::test;

class TestPersonPanel : public QObject {
    Q_OBJECT

private slots:
    void textsAlongThePlayback_data() {
        QTest::addColumn<int>("steps");
        QTest::addColumn<int>("person");
        QTest::addColumn<QString>("now");
        QTest::addColumn<QString>("state");
        // Cell centres in metres from the south-west corner of the 6 x 4 grid, 0.4 m cells.
        const QString deck = "level 0 (Main deck)";
        const QString at11 = "column 1, row 1 (x 0.60 m, y 1.00 m), ";
        const QString at31 = "column 3, row 1 (x 1.40 m, y 1.00 m), ";
        const QString at42 = "column 4, row 2 (x 1.80 m, y 0.60 m), ";
        QTest::newRow("0 at start") << 0 << 0 << at11 + deck << "in the simulation";
        QTest::newRow("0 walked") << 2 << 0 << at31 + deck << "in the simulation";
        QTest::newRow("0 standing") << 4 << 0 << at31 + deck << "in the simulation";
        QTest::newRow("0 saved") << 5 << 0 << at31 + "level none"
                                 << "saved";
        QTest::newRow("1 last step") << 3 << 1 << at42 + deck << "in the simulation";
        QTest::newRow("1 saved") << 4 << 1 << at42 + "level none"
                                 << "saved";
    }
    void textsAlongThePlayback() {
        QFETCH(int, steps);
        QFETCH(int, person);
        QFETCH(QString, now);
        QFETCH(QString, state);
        TLoaded l = LoadText(kExampleFile);
        TPlayback pb;
        pb.SetProject(l.Project.get());
        for (int i = 0; i < steps; ++i) pb.StepForward();
        const TPersonData& p = l.Project->Persons[static_cast<std::size_t>(person)];
        TPersonPanel panel;
        panel.Update(l.Project.get(), person, pb.StepCounter > p.StepCount);
        QCOMPARE(panel.Person(), person);
        QVERIFY(panel.Label_Hint->isHidden());
        QCOMPARE(panel.Label_Number->text(), QString("%1 of 2").arg(person));
        QCOMPARE(panel.Label_Tag->text(), QString("0"));
        QCOMPARE(panel.Label_Start->text(),
                 QString("column 1, row %1 (x 0.60 m, y %2 m), level 0 (Main deck)")
                     .arg(person + 1)
                     .arg(person == 0 ? "1.00" : "0.60"));
        QCOMPARE(panel.Label_Now->text(), now);
        QCOMPARE(panel.Label_Heading->text(), QString("3 (east)"));
        QCOMPARE(panel.Label_Steps->text(), QString::number(p.StepCount));
        // trunc((StepCount + 1) / 2 + 30): 32.5 and 32.
        QCOMPARE(panel.Label_ExitTime->text(), QString("0:32 min"));
        QCOMPARE(panel.Label_State->text(), state);
    }

    void exitTimeWithOddRates_data() {
        QTest::addColumn<int>("vmax");
        QTest::addColumn<int>("toff");
        QTest::addColumn<QString>("track");
        QTest::addColumn<QString>("exit");
        QTest::newRow("4 a second") << 4 << 30 << "P257x0S"
                                    << "1:34 min";
        QTest::newRow("empty track") << 1 << 0 << "S"
                                     << "0:01 min";
        QTest::newRow("no rate") << 0 << 0 << "P59x0S"
                                 << "1:00 min";
        QTest::newRow("negative offset") << 2 << -10 << "P3x0S"
                                         << "-0:08 min";
    }
    void exitTimeWithOddRates() {
        QFETCH(int, vmax);
        QFETCH(int, toff);
        QFETCH(QString, track);
        QFETCH(QString, exit);
        TLoaded l = LoadText(ProjectText({"Main deck"}, vmax, {track.toStdString()}, toff));
        TPersonPanel panel;
        panel.Update(l.Project.get(), 0, false);
        QCOMPARE(panel.Label_ExitTime->text(), exit);
    }

    void cellOfEveryCell() {
        for (const auto& [xmax, ymax] : {std::pair{6, 4}, {5, 3}, {1, 1}, {7, 10}}) {
            for (int row = -1; row <= ymax; ++row) {
                for (int column = -1; column <= xmax; ++column) {
                    TPersonData p;
                    p.SetStart(column, row, ymax, xmax, 0, 1, 0);
                    int c = -99, r = -99;
                    TPersonPanel::CellOf(p.X, p.Y, xmax, ymax, c, r);
                    QCOMPARE(c, column);
                    QCOMPARE(r, row);
                }
            }
        }
    }

    void positionsInMetres() {
        // Row ymax - 1, column 0 is the south-west cell: its centre half a cell in.
        const struct {
            int Column, Row, YMax;
            double Cell;
            const char* Text;
        } rows[] = {
            {0, 3, 4, 0.4, "column 0, row 3 (x 0.20 m, y 0.20 m)"},
            {0, 0, 4, 0.4, "column 0, row 0 (x 0.20 m, y 1.40 m)"},
            {159, 0, 48, 0.5, "column 159, row 0 (x 79.75 m, y 23.75 m)"},
            {-1, 4, 4, 0.4, "column -1, row 4 (x -0.20 m, y -0.20 m)"},
        };
        for (const auto& r : rows)
            QCOMPARE(TPersonPanel::PlaceText(r.Column, r.Row, r.YMax, r.Cell), QString(r.Text));
        TLoaded l = LoadText(kExampleFile);
        TPersonPanel panel;
        panel.SetCellSize(0.5);
        panel.SetCellSize(-1);  // refused: the last good size stays
        panel.Update(l.Project.get(), 0, false);
        QCOMPARE(panel.Label_Now->text(),
                 QString("column 1, row 1 (x 0.75 m, y 1.25 m), level 0 (Main deck)"));
    }

    void levelsOutsideTheDecks() {
        TLoaded l = LoadText(ProjectText({"Main deck", "Upper deck"}, 1, {"S"}));
        const std::pair<int, const char*> levels[] = {
            {0, "0 (Main deck)"}, {1, "1 (Upper deck)"}, {2, "2"}, {-1, "none"}};
        for (const auto& [level, text] : levels)
            QCOMPARE(TPersonPanel::LevelText(*l.Project, level), QString(text));
    }

    void followStopsWhenSavedOrUnpicked() {
        TLoaded l = LoadText(kExampleFile);
        TPersonPanel panel;
        QSignalSpy follow(&panel, &TPersonPanel::FollowToggled);
        QVERIFY(!panel.CheckBox_Follow->isEnabled());
        panel.Update(l.Project.get(), 1, false);
        QVERIFY(panel.CheckBox_Follow->isEnabled());
        panel.SetFollow(true);
        QVERIFY(panel.Follow());
        panel.Update(l.Project.get(), 1, true);
        QVERIFY(!panel.Follow());
        QVERIFY(!panel.CheckBox_Follow->isEnabled());
        panel.SetFollow(true);  // a saved person cannot be followed
        QVERIFY(!panel.Follow());
        QCOMPARE(follow.count(), 2);
        QCOMPARE(follow.at(1).at(0).toBool(), false);

        panel.Update(l.Project.get(), 0, false);
        panel.CheckBox_Follow->click();
        QVERIFY(panel.Follow());
        for (int bad : {-1, 2}) {
            panel.Update(l.Project.get(), 0, false);
            panel.SetFollow(true);
            panel.Update(l.Project.get(), bad, false);
            QCOMPARE(panel.Person(), -1);
            QVERIFY(!panel.Follow());
            QVERIFY(!panel.Label_Hint->isHidden());
            QCOMPARE(panel.Label_Now->text(), QString());
        }
        panel.Update(nullptr, 0, false);
        QCOMPARE(panel.Person(), -1);
    }
};

QTEST_MAIN(TestPersonPanel)
#include "test_personpanel.moc"
