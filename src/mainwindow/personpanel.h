// The content of the "Person" dock: what the picked person is and does now.
//
// The window puts it into a QDockWidget and calls Update(LogFile, picked index,
// saved) after every step, reset and seek and when the pick changes (index -1:
// nothing picked). A person counts as saved when the step counter is past its
// track (StepCounter > StepCount). The "Follow" box sends FollowToggled; the
// panel clears it itself (sending FollowToggled(false)) when the person is saved
// or the pick goes, and SetFollow sets it from the window's F key.
#pragma once

#include <QWidget>

#include "logfile.h"

class QCheckBox;
class QLabel;

namespace orlex {

class TPersonPanel : public QWidget {
    Q_OBJECT

public:
    explicit TPersonPanel(QWidget* parent = nullptr);

    QLabel* Label_Hint = nullptr;      // shown while nothing is picked
    QLabel* Label_Number = nullptr;    // index in the file ("3 of 20")
    QLabel* Label_Tag = nullptr;       // fifth value of its start record
    QLabel* Label_Start = nullptr;     // start column, row, position in metres and level
    QLabel* Label_Now = nullptr;       // current column, row, position in metres and level
    QLabel* Label_Heading = nullptr;   // current heading ("3 (east)")
    QLabel* Label_Steps = nullptr;     // steps in its track
    QLabel* Label_ExitTime = nullptr;  // clock of the step it is saved at ("5:11 min")
    QLabel* Label_State = nullptr;     // "saved" once it has left
    QCheckBox* CheckBox_Follow = nullptr;

    void Update(const TLogFile1* project, int person, bool saved);
    // The side of a cell in metres for the positions (the analysis's; 0.4 at first).
    void SetCellSize(double metres);
    int Person() const { return Person_; }
    bool Follow() const;
    void SetFollow(bool on);

    // Column and row of the cell whose centre is at x, y (scene units).
    static void CellOf(float x, float y, int xmax, int ymax, int& column, int& row);
    // "column 3, row 1 (x 1.40 m, y 1.00 m)": the cell and its centre in metres east
    // and north of the grid's south-west corner (the outer corner of the last row's
    // first cell).
    static QString PlaceText(int column, int row, int ymax, double cellSize);
    // "3 (east)"; a heading outside 1 to 8 as its number alone.
    static QString HeadingText(int heading);
    // "0 (Main deck)" for a deck of the project, "none" below 0, else the number.
    static QString LevelText(const TLogFile1& project, int level);

signals:
    void FollowToggled(bool on);

private:
    void ShowNothing();

    int Person_ = -1;
    double CellSize_ = 0.4;
};

}  // namespace orlex
