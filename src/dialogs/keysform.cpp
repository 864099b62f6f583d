#include "keysform.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

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
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(List_);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    layout->addWidget(scroll, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString TKeysForm::Html(const QList<TKeyGroup>& groups) {
    QString html = QStringLiteral("<table cellspacing=0 cellpadding=2>");
    bool first = true;
    for (const TKeyGroup& group : groups) {
        if (group.Rows.isEmpty()) continue;
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

void TKeysForm::SetGroups(const QList<TKeyGroup>& groups) {
    Groups_ = groups;
    List_->setText(Html(groups));
    // As large as the text asks, as far as the screen allows.
    const QSize text = List_->sizeHint();
    const QSize frame = sizeHint() - List_->sizeHint();
    QSize want(text.width() + frame.width() + 24, text.height() + frame.height() + 8);
    if (const QScreen* screen = this->screen()) {
        const QSize room = screen->availableGeometry().size() * 9 / 10;
        want = want.boundedTo(room);
    }
    resize(want);
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
