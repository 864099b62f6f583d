#include "importform.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orlex {

QString FormatTitle(import::TFormat format) {
    switch (format) {
        case import::TFormat::PeTrack:
            return QStringLiteral("PeTrack / PedPy text");
        case import::TFormat::JuPedSim:
            return QStringLiteral("JuPedSim SQLite");
        case import::TFormat::Pathfinder:
            return QStringLiteral("Pathfinder occupant CSV");
        case import::TFormat::Vadere:
            return QStringLiteral("Vadere footsteps");
        case import::TFormat::Crowdit:
            return QStringLiteral("crowd:it CSV");
        case import::TFormat::Auto:
            break;
    }
    return QStringLiteral("unknown");
}

TImportForm::TImportForm(QWidget* parent, const QString& file, const import::TFileFacts& facts,
                         const TImportValues& last)
    : QDialog(parent), Facts_(facts), Last_(last) {
    setObjectName("ImportForm");
    setWindowTitle("Import trajectories");
    auto* form = new QFormLayout;

    FileLabel = new QLabel(QFileInfo(file).fileName() + " (" + FormatTitle(facts.Format) + ")");
    FileLabel->setObjectName("FileLabel");
    FileLabel->setToolTip(file);
    form->addRow("File:", FileLabel);

    CellSizeEdit = new QDoubleSpinBox;
    CellSizeEdit->setObjectName("CellSizeEdit");
    CellSizeEdit->setRange(kMinCellSize, kMaxCellSize);
    CellSizeEdit->setDecimals(2);
    CellSizeEdit->setSingleStep(0.05);
    CellSizeEdit->setSuffix(" m");
    CellSizeEdit->setValue(last.CellSize);
    form->addRow("Cell size:", CellSizeEdit);

    GeometryEdit = new QLineEdit(last.Geometry);
    GeometryEdit->setObjectName("GeometryEdit");
    GeometryEdit->setPlaceholderText("none: the cells the persons visit are floor");
    GeometryEdit->setMinimumWidth(320);
    BrowseButton = new QPushButton("Browse...");
    BrowseButton->setObjectName("BrowseButton");
    connect(BrowseButton, &QPushButton::clicked, this, [this] { Browse(); });
    auto* geometryRow = new QHBoxLayout;
    geometryRow->addWidget(GeometryEdit, 1);
    geometryRow->addWidget(BrowseButton);
    form->addRow("Geometry file:", geometryRow);

    // The frame rate and the unit: shown where the file gives them, asked for where not.
    if (!facts.TextRows || facts.Fps > 0) {
        FpsLabel = new QLabel(facts.TextRows ? QString::number(facts.Fps, 'g', 6) +
                                                   " frames a second (from the file)"
                                             : QStringLiteral("from the file"));
        FpsLabel->setObjectName("FpsLabel");
        form->addRow("Frame rate:", FpsLabel);
    } else {
        FpsEdit = new QDoubleSpinBox;
        FpsEdit->setObjectName("FpsEdit");
        FpsEdit->setRange(1, 1000);
        FpsEdit->setDecimals(2);
        FpsEdit->setSuffix(" frames a second");
        FpsEdit->setValue(last.Fps);
        FpsEdit->setToolTip("The file gives no frame rate");
        form->addRow("Frame rate:", FpsEdit);
    }
    if (!facts.TextRows || facts.Unit != import::TLengthUnit::Unknown) {
        const bool cm = facts.Unit == import::TLengthUnit::Centimetre;
        UnitLabel = new QLabel(!facts.TextRows ? QStringLiteral("from the file")
                               : cm            ? QStringLiteral("centimetres (from the file)")
                                               : QStringLiteral("metres (from the file)"));
        UnitLabel->setObjectName("UnitLabel");
        form->addRow("Length unit:", UnitLabel);
    } else {
        UnitBox = new QComboBox;
        UnitBox->setObjectName("UnitBox");
        UnitBox->addItems({"metres (m)", "centimetres (cm)"});
        UnitBox->setCurrentIndex(last.Centimetres ? 1 : 0);
        UnitBox->setToolTip("The file names no length unit");
        form->addRow("Length unit:", UnitBox);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    OkButton = buttons->button(QDialogButtonBox::Ok);
    OkButton->setObjectName("OkButton");
    OkButton->setText("Import");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void TImportForm::Browse() {
    const QString start = QFileInfo(GeometryEdit->text()).absolutePath();
    QString path;
    if (ChooseGeometry) {
        path = ChooseGeometry(start);
    } else {
        path = QFileDialog::getOpenFileName(
            this, "Geometry file", start,
            "Geometry (*.wkt *.txt *.scenario *.floor *.xml *.3dl);;All files (*)");
    }
    if (!path.isEmpty()) GeometryEdit->setText(path);
}

TImportValues TImportForm::Values() const {
    TImportValues values = Last_;
    values.CellSize = CellSizeEdit->value();
    values.Geometry = GeometryEdit->text().trimmed();
    if (FpsEdit != nullptr) values.Fps = FpsEdit->value();
    if (UnitBox != nullptr) values.Centimetres = UnitBox->currentIndex() == 1;
    return values;
}

import::TImportOptions TImportForm::Options() const {import::TImportOptions options;
options.Format = Facts_.Format;
options.CellSize = CellSizeEdit->value();
options.GeometryPath = GeometryEdit->text().trimmed().toStdString();
if (FpsEdit != nullptr) options.Text.Fps = FpsEdit->value();
if (UnitBox != nullptr)
    options.Text.Unit =
        UnitBox->currentIndex() == 1 ? import::TLengthUnit::Centimetre : import::TLengthUnit::Metre;
return options;
}  // namespace orlex

}  // namespace orlex
