// The import dialog: how the trajectories of another tool become a project (cell
// size, geometry file, and the frame rate and length unit where the file gives none).
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "appsettings.h"
#include "openproject.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orlex {

class TImportForm : public QDialog {
public:
    // file: the file to import; facts: what it says about itself; last: the values
    // of the last import.
    TImportForm(QWidget* parent, const QString& file, const import::TFileFacts& facts,
                const TImportValues& last);

    // The values to remember (the frame rate and the unit as entered, or as last time
    // where the file gives them).
    TImportValues Values() const;
    // The options of the import.
    import::TImportOptions Options() const;

    QLabel* FileLabel = nullptr;
    QDoubleSpinBox* CellSizeEdit = nullptr;
    QLineEdit* GeometryEdit = nullptr;
    QPushButton* BrowseButton = nullptr;
    QLabel* FpsLabel = nullptr;  // what the file gives, or null where FpsEdit asks
    QDoubleSpinBox* FpsEdit = nullptr;
    QLabel* UnitLabel = nullptr;  // what the file gives, or null where UnitBox asks
    QComboBox* UnitBox = nullptr;
    QPushButton* OkButton = nullptr;

    // Chooses a geometry file (folder -> path or empty). Replaced by tests; the
    // default shows the file dialog.
    std::function<QString(const QString&)> ChooseGeometry;

private:
    void Browse();

    import::TFileFacts Facts_;
    TImportValues Last_;
};

// The name of a format for people ("PeTrack text", "JuPedSim SQLite", ...).
QString FormatTitle(import::TFormat format);

}  // namespace orlex
