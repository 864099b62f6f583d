#include "statistics.h"

#include <QHBoxLayout>
#include <QPalette>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include "logfile.h"

namespace orlex {

TFStatistics::TFStatistics(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName("FStatistics");
    setWindowTitle("Project Data");

    List = new QTextEdit(this);
    List->setObjectName("List");
    List->setReadOnly(true);
    List->setEnabled(false);
    List->setAcceptRichText(false);
    List->setLineWrapMode(QTextEdit::NoWrap);
    QFont listFont = List->font();
    listFont.setPixelSize(11);
    List->setFont(listFont);
    List->document()->setDefaultFont(listFont);
    // Tab stops close enough that the report's columns fit the box.
    List->setTabStopDistance(40);
    // Disabled, but the report should read as normal text, not greyed out.
    QPalette pal = List->palette();
    for (auto role : {QPalette::Text, QPalette::WindowText}) {
        pal.setColor(QPalette::Disabled, role, pal.color(QPalette::Active, role));
    }
    pal.setColor(QPalette::Disabled, QPalette::Base, pal.color(QPalette::Active, QPalette::Base));
    List->setPalette(pal);

    Panel1 = new QWidget(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFixedHeight(25);
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), "&Ok", Panel1);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setDefault(true);
    BitBtn1->setFixedSize(75, 21);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    auto* bar = new QHBoxLayout(Panel1);
    bar->setContentsMargins(0, 2, 1, 2);
    bar->addStretch(1);
    bar->addWidget(BitBtn1);

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(0);
    main->addWidget(List, 1);
    main->addWidget(Panel1);
    setFixedSize(404, 381);

    format_ = List->currentCharFormat();
    format_.setFontWeight(QFont::Normal);
}

void TFStatistics::Clear() {
    List->clear();
    empty_ = true;
}

void TFStatistics::SetBold(bool bold) {
    format_.setFontWeight(bold ? QFont::Bold : QFont::Normal);
}

void TFStatistics::AddLine(const std::string& line) {
    QTextCursor cursor(List->document());
    cursor.movePosition(QTextCursor::End);
    const QStringList parts = QString::fromStdString(line).split(QLatin1Char('\n'));
    for (const QString& part : parts) {
        if (!empty_) cursor.insertBlock(QTextBlockFormat(), format_);
        cursor.setCharFormat(format_);
        cursor.insertText(part, format_);
        empty_ = false;
    }
    List->horizontalScrollBar()->setValue(0);
}

QStringList TFStatistics::Lines() const {
    if (empty_) return {};
    QStringList lines;
    for (QTextBlock b = List->document()->begin(); b.isValid(); b = b.next()) lines << b.text();
    return lines;
}

bool TFStatistics::IsLineBold(int index) const {
    const QTextBlock b = List->document()->findBlockByNumber(index);
    if (!b.isValid()) return false;
    // The weight of the block's text (or of the block itself when it is empty).
    if (b.begin() != b.end()) {
        const QTextFragment f = b.begin().fragment();
        return f.charFormat().fontWeight() >= QFont::Bold;
    }
    return b.charFormat().fontWeight() >= QFont::Bold;
}

void FillProjectData(TFStatistics& dialog, const TLogFile1* loadedProject) {
    if (loadedProject) {
        loadedProject->ReportTo(dialog);
    } else {
        dialog.SetBold(true);
        dialog.AddLine("No 3D logfile loaded yet!");
    }
}

void ShowProjectData(TFStatistics& dialog, const TLogFile1* loadedProject) {
    FillProjectData(dialog, loadedProject);
    dialog.exec();
}

}  // namespace orlex
