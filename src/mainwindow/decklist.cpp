#include "decklist.h"

#include <QListWidget>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace orlex {

TDeckList::TDeckList(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    List = new QListWidget(this);
    List->setObjectName("DeckListRows");
    List->setToolTip("Tick the decks to draw; each row gives the persons on the deck now");
    layout->addWidget(List);
    connect(List, &QListWidget::itemChanged, this, [this] { emit HiddenChanged(); });
}

void TDeckList::SetDecks(const QStringList& captions) {
    const QSignalBlocker block(List);
    Captions_ = captions;
    Counts_.assign(static_cast<std::size_t>(captions.size()), 0);
    List->clear();
    for (int row = 0; row < captions.size(); ++row) {
        auto* item = new QListWidgetItem(List);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    for (int d = 0; d < DeckCount(); ++d) List->item(RowOf(d))->setText(RowText(d));
    // Wide enough for every row with up to five-digit counts, within reason.
    const QFontMetrics metrics(List->font());
    int text = 0;
    for (const QString& caption : Captions_)
        text =
            std::max(text, metrics.horizontalAdvance(caption + QStringLiteral(": 00000 persons")));
    const int box = List->style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                    2 * List->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    const int chrome = 2 * List->frameWidth() + List->verticalScrollBar()->sizeHint().width() + 12;
    List->setMinimumWidth(std::min(kMaxListWidth, text + box + chrome));
}

void TDeckList::SetCounts(const std::vector<int>& counts) {
    if (counts == Counts_ || static_cast<int>(counts.size()) != DeckCount()) return;
    const QSignalBlocker block(List);
    Counts_ = counts;
    for (int d = 0; d < DeckCount(); ++d) List->item(RowOf(d))->setText(RowText(d));
}

QString TDeckList::RowText(int deck) const {
    if (deck < 0 || deck >= DeckCount()) return {};
    const int n = Counts_[static_cast<std::size_t>(deck)];
    return QStringLiteral("%1: %2 %3")
        .arg(Captions_[deck])
        .arg(n)
        .arg(n == 1 ? QStringLiteral("person") : QStringLiteral("persons"));
}

std::vector<bool> TDeckList::Hidden() const {
    std::vector<bool> hidden(static_cast<std::size_t>(DeckCount()), false);
    for (int d = 0; d < DeckCount(); ++d)
        hidden[static_cast<std::size_t>(d)] = List->item(RowOf(d))->checkState() != Qt::Checked;
    return hidden;
}

void TDeckList::SetShown(int deck, bool shown) {
    if (deck < 0 || deck >= DeckCount()) return;
    List->item(RowOf(deck))->setCheckState(shown ? Qt::Checked : Qt::Unchecked);
}

}  // namespace orlex
