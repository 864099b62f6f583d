// The "Decks" list of the whole-ship view: one row per deck, top deck first as
// in the deck box, with its caption and the persons on it now, and a check box
// that shows or hides the deck with its persons.
#pragma once

#include <QStringList>
#include <QWidget>
#include <vector>

class QListWidget;

namespace orlex {

class TDeckList : public QWidget {
    Q_OBJECT

public:
    explicit TDeckList(QWidget* parent = nullptr);

    // A fresh list for decks of these captions (index = deck), all shown.
    void SetDecks(const QStringList& captions);
    int DeckCount() const { return static_cast<int>(Captions_.size()); }
    const QStringList& Captions() const { return Captions_; }
    // The persons on each deck now (index = deck).
    void SetCounts(const std::vector<int>& counts);
    // Per deck (index = deck): true where its box is unticked.
    std::vector<bool> Hidden() const;
    // Ticks or unticks deck's box (as a click would).
    void SetShown(int deck, bool shown);
    // The text of deck's row.
    QString RowText(int deck) const;

    QListWidget* List = nullptr;
    // The widest the list asks to be, in pixels.
    static constexpr int kMaxListWidth = 420;

signals:
    // A box was ticked or unticked.
    void HiddenChanged();

private:
    int RowOf(int deck) const { return DeckCount() - 1 - deck; }
    QStringList Captions_;
    std::vector<int> Counts_;
};

}  // namespace orlex
