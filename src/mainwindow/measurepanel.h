// The "Measurements" panel: the measurement lines and areas of the project, one
// row each with its name (editable), kind, deck and size, and below the points
// of the row chosen in metres (editable, two decimals): a line's from and to, an
// area's corners. It edits a copy: every change the user makes goes out as the
// whole new set (Changed), and the window decides what becomes of it.
#pragma once

#include <QStringList>
#include <QWidget>

#include "measure.h"

class QLabel;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace orlex {

class TMeasurePanel : public QWidget {
    Q_OBJECT

public:
    explicit TMeasurePanel(QWidget* parent = nullptr);

    // Shows set on decks of these captions (index = deck); the row chosen stays
    // where it still exists.
    void ShowSet(const TMeasureSet& set, const QStringList& deckCaptions);
    const TMeasureSet& Set() const { return Set_; }
    // The row chosen: lines first, then areas; -1 for none.
    int CurrentRow() const;
    void SelectRow(int row);
    // Whether Undo has something to take back.
    void SetUndoAvailable(bool available);

    // Rows of the measurements, points of the row chosen, and the buttons.
    QTableWidget* Items = nullptr;
    QTableWidget* Points = nullptr;
    QPushButton* DeleteButton = nullptr;
    QPushButton* UndoButton = nullptr;
    QLabel* Hint = nullptr;

    // Columns of Items and of Points.
    enum { kNameColumn = 0, kKindColumn, kDeckColumn, kSizeColumn };
    enum { kXColumn = 0, kYColumn };

signals:
    // The user changed the set: renamed, moved a point or deleted a measurement.
    void Changed(const orlex::TMeasureSet& set);
    void UndoRequested();

private:
    void ShowPoints();
    void NameEdited(QTableWidgetItem* item);
    void PointEdited(QTableWidgetItem* item);
    void DeleteCurrent();

    TMeasureSet Set_;
    QStringList Captions_;
    bool Filling_ = false;
};

// The rows of a set: its lines, then its areas.
int MeasureRowCount(const TMeasureSet& set);
// The points of row: a line's from and to, an area's corners; none out of range.
std::vector<TMetrePoint> MeasureRowPoints(const TMeasureSet& set, int row);
// Moves point k of row to p; false (nothing changed) out of range.
bool SetMeasureRowPoint(TMeasureSet& set, int row, int k, const TMetrePoint& p);
// The text of a row's size: a line's length in m, an area's in m².
QString MeasureSizeText(const TMeasureSet& set, int row);

}  // namespace orlex
