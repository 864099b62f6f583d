// Help > "Keys and mouse...": every key and mouse action of the main window,
// grouped, in a window sized to its text.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QScrollArea;

namespace orlex {

struct TKeyRow {
    QString Keys;    // "Ctrl+G", "Left drag"
    QString Action;  // "Go to time..."
};

struct TKeyGroup {
    QString Title;
    QList<TKeyRow> Rows;
};

class TKeysForm : public QDialog {
    Q_OBJECT
public:
    explicit TKeysForm(QWidget* parent = nullptr);

    // Shows groups (groups without rows are left out) and fits the window to them.
    void SetGroups(const QList<TKeyGroup>& groups);
    // The shown text, for tests and for copying.
    QString Text() const;

    // The rich text of groups: a two-column table under each group's title.
    static QString Html(const QList<TKeyGroup>& groups);

private:
    QLabel* List_ = nullptr;
    QScrollArea* Scroll_ = nullptr;
    QList<TKeyGroup> Groups_;
};

}  // namespace orlex
