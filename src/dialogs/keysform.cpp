#include "keysform.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace orlex {

TKeysForm::TKeysForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("KeysForm"));
    setWindowTitle(QStringLiteral("Keys and mouse"));
    auto* layout = new QVBoxLayout(this);
    List_ = new QLabel(this);
    List_->setObjectName(QStringLiteral("KeysList"));
    List_->setTextFormat(Qt::RichText);
    List_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    List_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A scroll area only for screens too small for the whole list.
    Scroll_ = new QScrollArea(this);
    Scroll_->setObjectName(QStringLiteral("KeysScroll"));
    Scroll_->setWidget(List_);
    Scroll_->setWidgetResizable(true);
    Scroll_->setFrameShape(QFrame::NoFrame);
    layout->addWidget(Scroll_, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

namespace {

// One column of groups: each title over a two-column table of its rows.
QString ColumnHtml(const QList<TKeyGroup>& groups) {
    QString html = QStringLiteral("<table cellspacing=0 cellpadding=2>");
    bool first = true;
    for (const TKeyGroup& group : groups) {
        html += QStringLiteral("<tr><td colspan=2 style='padding-top:%1px'><b>%2</b></td></tr>")
                    .arg(first ? 0 : 10)
                    .arg(group.Title.toHtmlEscaped());
        first = false;
        for (const TKeyRow& row : group.Rows) {
            html += QStringLiteral(
                        "<tr><td style='padding-right:18px; white-space:nowrap'>%1</td>"
                        "<td style='white-space:nowrap'>%2</td></tr>")
                        .arg(row.Keys.toHtmlEscaped(), row.Action.toHtmlEscaped());
        }
    }
    return html + QStringLiteral("</table>");
}

}  // namespace

QString TKeysForm::Html(const QList<TKeyGroup>& groups) {
    QList<TKeyGroup> shown;
    int lines = 0;
    for (const TKeyGroup& group : groups) {
        if (group.Rows.isEmpty()) continue;
        shown.append(group);
        lines += 1 + static_cast<int>(group.Rows.size());
    }
    // Two columns of whole groups, the first holding about half of the lines.
    int split = 0;
    for (int done = 0; split < shown.size() && 2 * done < lines; ++split)
        done += 1 + static_cast<int>(shown[split].Rows.size());
    if (shown.size() < 2 || lines < 24) split = static_cast<int>(shown.size());
    const QString left = ColumnHtml(shown.mid(0, split));
    if (split >= shown.size()) return left;
    return QStringLiteral(
               "<table cellspacing=0 cellpadding=0><tr><td valign=top>%1</td>"
               "<td width=36></td><td valign=top>%2</td></tr></table>")
        .arg(left, ColumnHtml(shown.mid(split)));
}

void TKeysForm::SetGroups(const QList<TKeyGroup>& groups) {
    Groups_ = groups;
    List_->setText(Html(groups));
    // The whole list in view, as far as the screen allows; the scroll bars only
    // for a screen too small for it.
    const QSize text = List_->sizeHint();
    QSize room(1600, 1000);
    if (const QScreen* screen = this->screen()) room = screen->availableGeometry().size() * 17 / 20;
    const int bar = Scroll_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const bool tall = text.height() + 4 > room.height();
    Scroll_->setMinimumSize(std::min(text.width() + 4 + (tall ? bar : 0), room.width()),
                            std::min(text.height() + 4, room.height()));
    adjustSize();
}

QString TKeysForm::Text() const {
    QString text;
    for (const TKeyGroup& group : Groups_) {
        if (group.Rows.isEmpty()) continue;
        text += group.Title + QLatin1Char('\n');
        for (const TKeyRow& row : group.Rows)
            text += row.Keys + QLatin1Char('\t') + row.Action + QLatin1Char('\n');
    }
    return text;
}

}  // namespace orlex
