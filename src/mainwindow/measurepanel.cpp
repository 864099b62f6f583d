#include "measurepanel.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

namespace orlex {

namespace {

constexpr int kDecimals = 2;
// The panel's least width in pixels: a name, the kind, a deck caption and a size.
constexpr int kPanelWidth = 380;
// The largest coordinate typed in, in metres: far beyond any ship or building.
constexpr double kLargestMetres = 1e6;

// Metres with two decimals, typed in a spin box.
class TMetreDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant& value, const QLocale& locale) const override {
        return locale.toString(value.toDouble(), 'f', kDecimals);
    }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* box = new QDoubleSpinBox(parent);
        box->setDecimals(kDecimals);
        box->setRange(-kLargestMetres, kLargestMetres);
        box->setSingleStep(0.1);
        box->setSuffix(QStringLiteral(" m"));
        return box;
    }
};

QTableWidgetItem* Fixed(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

double PolygonArea(const std::vector<TMetrePoint>& polygon) {
    double twice = 0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const TMetrePoint& a = polygon[i];
        const TMetrePoint& b = polygon[(i + 1) % polygon.size()];
        twice += a.X * b.Y - b.X * a.Y;
    }
    return std::fabs(0.5 * twice);
}

int LineCount(const TMeasureSet& set) {
    return static_cast<int>(set.Lines.size());
}

}  // namespace

int MeasureRowCount(const TMeasureSet& set) {
    return static_cast<int>(set.Lines.size() + set.Areas.size());
}

std::vector<TMetrePoint> MeasureRowPoints(const TMeasureSet& set, int row) {
    if (row < 0 || row >= MeasureRowCount(set)) return {};
    if (row < LineCount(set)) {
        const TMeasureLine& line = set.Lines[static_cast<std::size_t>(row)];
        return {line.From, line.To};
    }
    return set.Areas[static_cast<std::size_t>(row - LineCount(set))].Polygon;
}

bool SetMeasureRowPoint(TMeasureSet& set, int row, int k, const TMetrePoint& p) {
    const int count = static_cast<int>(MeasureRowPoints(set, row).size());
    if (k < 0 || k >= count) return false;
    if (row < LineCount(set)) {
        TMeasureLine& line = set.Lines[static_cast<std::size_t>(row)];
        (k == 0 ? line.From : line.To) = p;
    } else {
        set.Areas[static_cast<std::size_t>(row - LineCount(set))]
            .Polygon[static_cast<std::size_t>(k)] = p;
    }
    return true;
}

QString MeasureSizeText(const TMeasureSet& set, int row) {
    const std::vector<TMetrePoint> points = MeasureRowPoints(set, row);
    if (points.empty()) return {};
    if (row < LineCount(set)) {
        const double length = std::hypot(points[1].X - points[0].X, points[1].Y - points[0].Y);
        return QStringLiteral("%1 m").arg(length, 0, 'f', kDecimals);
    }
    return QStringLiteral("%1 m\u00b2").arg(PolygonArea(points), 0, 'f', kDecimals);
}

TMeasurePanel::TMeasurePanel(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);

    Items = new QTableWidget(0, 4, this);
    Items->setObjectName("MeasureItems");
    Items->setHorizontalHeaderLabels({"Name", "Kind", "Deck", "Size"});
    Items->setSelectionBehavior(QAbstractItemView::SelectRows);
    Items->setSelectionMode(QAbstractItemView::SingleSelection);
    Items->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::SelectedClicked);
    Items->verticalHeader()->hide();
    // The names whole; a long deck caption gives way.
    for (int c : {kNameColumn, kKindColumn, kSizeColumn})
        Items->horizontalHeader()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    Items->horizontalHeader()->setSectionResizeMode(kDeckColumn, QHeaderView::Stretch);
    Items->setWordWrap(false);
    Items->setTextElideMode(Qt::ElideRight);
    Items->setMinimumWidth(kPanelWidth);
    Items->setToolTip("Double-click a name to rename the measurement");
    layout->addWidget(Items, 3);

    Points = new QTableWidget(0, 2, this);
    Points->setObjectName("MeasurePoints");
    Points->setHorizontalHeaderLabels({"x (m)", "y (m)"});
    Points->setItemDelegate(new TMetreDelegate(Points));
    Points->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    Points->setToolTip("Metres east (x) and north (y); double-click to type a value");
    layout->addWidget(Points, 2);

    auto* buttons = new QHBoxLayout;
    DeleteButton = new QPushButton("Delete", this);
    DeleteButton->setObjectName("MeasureDelete");
    DeleteButton->setToolTip("Delete the measurement chosen");
    UndoButton = new QPushButton("Undo", this);
    UndoButton->setObjectName("MeasureUndo");
    UndoButton->setToolTip("Take back the last change of the measurements [Ctrl+Z]");
    UndoButton->setEnabled(false);
    buttons->addWidget(DeleteButton);
    buttons->addWidget(UndoButton);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    Hint = new QLabel(
        "Views > Measure: a left drag on the deck draws a line, a right drag an area.", this);
    Hint->setObjectName("MeasureHint");
    Hint->setWordWrap(true);
    layout->addWidget(Hint);

    connect(Items, &QTableWidget::currentCellChanged, this, [this] { ShowPoints(); });
    connect(Items, &QTableWidget::itemChanged, this, &TMeasurePanel::NameEdited);
    connect(Points, &QTableWidget::itemChanged, this, &TMeasurePanel::PointEdited);
    connect(DeleteButton, &QPushButton::clicked, this, &TMeasurePanel::DeleteCurrent);
    connect(UndoButton, &QPushButton::clicked, this, &TMeasurePanel::UndoRequested);
    ShowPoints();
}

void TMeasurePanel::ShowSet(const TMeasureSet& set, const QStringList& deckCaptions) {
    const int chosen = CurrentRow();
    Set_ = set;
    Captions_ = deckCaptions;
    Filling_ = true;
    Items->setRowCount(MeasureRowCount(Set_));
    for (int row = 0; row < MeasureRowCount(Set_); ++row) {
        const bool line = row < LineCount(Set_);
        const std::string& name =
            line ? Set_.Lines[static_cast<std::size_t>(row)].Name
                 : Set_.Areas[static_cast<std::size_t>(row - LineCount(Set_))].Name;
        const int deck = line ? Set_.Lines[static_cast<std::size_t>(row)].Deck
                              : Set_.Areas[static_cast<std::size_t>(row - LineCount(Set_))].Deck;
        auto* nameItem = new QTableWidgetItem(QString::fromStdString(name));
        nameItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        Items->setItem(row, kNameColumn, nameItem);
        Items->setItem(row, kKindColumn, Fixed(line ? "Line" : "Area"));
        Items->setItem(
            row, kDeckColumn,
            Fixed(deck >= 0 && deck < Captions_.size() ? Captions_[deck]
                                                       : QStringLiteral("Deck %1").arg(deck)));
        Items->setItem(row, kSizeColumn, Fixed(MeasureSizeText(Set_, row)));
    }
    Filling_ = false;
    // The first row is chosen until the user chooses another.
    SelectRow(std::min(std::max(chosen, 0), MeasureRowCount(Set_) - 1));
    ShowPoints();
}

int TMeasurePanel::CurrentRow() const {
    const int row = Items->currentRow();
    return row >= 0 && row < MeasureRowCount(Set_) ? row : -1;
}

void TMeasurePanel::SelectRow(int row) {
    if (row < 0 || row >= MeasureRowCount(Set_)) {
        Items->setCurrentCell(-1, -1);
        ShowPoints();
        return;
    }
    Items->setCurrentCell(row, kNameColumn);
    ShowPoints();
}

void TMeasurePanel::SetUndoAvailable(bool available) {
    UndoButton->setEnabled(available);
}

void TMeasurePanel::ShowPoints() {
    const int row = CurrentRow();
    const std::vector<TMetrePoint> points = MeasureRowPoints(Set_, row);
    const bool line = row >= 0 && row < LineCount(Set_);
    Filling_ = true;
    Points->setRowCount(static_cast<int>(points.size()));
    QStringList names;
    for (std::size_t k = 0; k < points.size(); ++k) {
        names << (line ? (k == 0 ? QStringLiteral("From") : QStringLiteral("To"))
                       : QStringLiteral("Corner %1").arg(k + 1));
        for (int c : {kXColumn, kYColumn}) {
            auto* item = new QTableWidgetItem;
            item->setData(Qt::EditRole, c == kXColumn ? points[k].X : points[k].Y);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            Points->setItem(static_cast<int>(k), c, item);
        }
    }
    Points->setVerticalHeaderLabels(names);
    Filling_ = false;
    DeleteButton->setEnabled(row >= 0);
}

void TMeasurePanel::NameEdited(QTableWidgetItem* item) {
    if (Filling_ || item == nullptr || item->column() != kNameColumn) return;
    const int row = item->row();
    if (row < 0 || row >= MeasureRowCount(Set_)) return;
    const std::string name = item->text().trimmed().toStdString();
    TMeasureSet next = Set_;
    std::string& slot = row < LineCount(next)
                            ? next.Lines[static_cast<std::size_t>(row)].Name
                            : next.Areas[static_cast<std::size_t>(row - LineCount(next))].Name;
    // A measurement keeps a name: an emptied one comes back.
    if (name.empty() || name == slot) {
        const QSignalBlocker block(Items);
        item->setText(QString::fromStdString(slot));
        return;
    }
    slot = name;
    emit Changed(next);
}

void TMeasurePanel::PointEdited(QTableWidgetItem* item) {
    if (Filling_ || item == nullptr) return;
    const int row = CurrentRow();
    std::vector<TMetrePoint> points = MeasureRowPoints(Set_, row);
    const int k = item->row();
    if (k < 0 || k >= static_cast<int>(points.size())) return;
    bool ok = false;
    const double value = item->data(Qt::EditRole).toDouble(&ok);
    TMetrePoint p = points[static_cast<std::size_t>(k)];
    (item->column() == kXColumn ? p.X : p.Y) = value;
    TMeasureSet next = Set_;
    if (!ok || !std::isfinite(value) || p == points[static_cast<std::size_t>(k)] ||
        !SetMeasureRowPoint(next, row, k, p)) {
        ShowPoints();
        return;
    }
    emit Changed(next);
}

void TMeasurePanel::DeleteCurrent() {
    const int row = CurrentRow();
    if (row < 0) return;
    TMeasureSet next = Set_;
    if (row < LineCount(next))
        next.Lines.erase(next.Lines.begin() + row);
    else
        next.Areas.erase(next.Areas.begin() + (row - LineCount(next)));
    emit Changed(next);
}

}  // namespace orlex
