#include "helpform.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStyle>
#include <QTextCursor>
#include <QTextEdit>

namespace orlex {

namespace {
constexpr int kWidth = 341;
constexpr int kHeight = 387;
constexpr int kPanel1Height = 129;
constexpr int kPanel2Height = 25;
}  // namespace

QStringList THelpForm::KeyboardLines() {
    return {
        "File",
        "Ctrl + L:\tLoad log file",
        "Y:\tSingle screen shot",
        "X:\tScreen shot series",
        "Alt + F4:\tQuit programme",
        "",
        "Views",
        "W:\tDeck up",
        "S:\tDeck down",
        "Q:\tZoom in",
        "A:\tZoom out",
        "",
        "Animation",
        "1:\tReset to start",
        "2:\tRun/pause",
        "3:\tStep backward",
        "4:\tStep forward",
        "",
        "Settings",
        "L:\tAdd light above origin",
        "Shift + L:\tRemove light closest to origin",
        "",
        "",
    };
}

bool THelpForm::IsGroupTitle(const QString& line) {
    return !line.isEmpty() && !line.contains(QLatin1Char('\t'));
}

THelpForm::THelpForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint) {
    setObjectName("HelpForm");
    setWindowTitle("Quick Reference");
    setFixedSize(kWidth, kHeight);
    QFont f = font();
    f.setPixelSize(11);
    setFont(f);

    Panel1 = new QWidget(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(0, 0, kWidth, kPanel1Height);
    Image1 = new QLabel(Panel1);
    Image1->setObjectName("Image1");
    Image1->setGeometry(20, 12, 90, 110);
    Image1->setPixmap(MousePicture());
    const char* labels[] = {"Left Mousebutton: Rotate", "Scroll Wheel: Zoom",
                            "Right Mouse Button: Move"};
    QLabel** targets[] = {&Label1, &Label2, &Label3};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(labels[i], Panel1);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        label->move(96 + 20, 8 + 16 * i + 4);
        label->adjustSize();
        *targets[i] = label;
    }

    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName("RichEdit1");
    RichEdit1->setGeometry(0, kPanel1Height, kWidth, kHeight - kPanel1Height - kPanel2Height);
    RichEdit1->setReadOnly(true);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setFocusPolicy(Qt::NoFocus);  // Enter goes to "&Ok"
    RichEdit1->setTabStopDistance(
        QFontMetricsF(RichEdit1->font()).horizontalAdvance("Shift + L:  "));
    {
        QTextCursor cursor(RichEdit1->document());
        QTextCharFormat normal;
        normal.setFontWeight(QFont::Normal);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        bool first = true;
        for (const QString& line : KeyboardLines()) {
            const QTextCharFormat& fmt = IsGroupTitle(line) ? bold : normal;
            if (!first) cursor.insertBlock(QTextBlockFormat(), fmt);
            cursor.setCharFormat(fmt);
            cursor.insertText(line, fmt);
            first = false;
        }
        RichEdit1->moveCursor(QTextCursor::Start);
    }

    Panel2 = new QWidget(this);
    Panel2->setObjectName("Panel2");
    Panel2->setGeometry(0, kHeight - kPanel2Height, kWidth, kPanel2Height);
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), "&Ok", Panel2);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setGeometry(264, 2, 75, 21);
    BitBtn1->setDefault(true);
    BitBtn1->setAutoDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void THelpForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (parentWidget()) {
        const QWidget* top = parentWidget()->window();
        move(top->frameGeometry().center() - rect().center());
    }
    BitBtn1->setFocus();
}

QPixmap THelpForm::MousePicture() {
    QPixmap pix(89, 109);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    // Body.
    const QRectF body(6, 34, 46, 70);
    QPainterPath shell;
    shell.addRoundedRect(body, 22, 26);
    p.setPen(QPen(QColor(60, 60, 70), 1.5));
    p.setBrush(QColor(235, 236, 240));
    p.drawPath(shell);
    // Buttons and wheel.
    p.drawLine(QPointF(6, 62), QPointF(52, 62));
    p.drawLine(QPointF(29, 35), QPointF(29, 62));
    p.setBrush(QColor(120, 125, 140));
    p.drawRoundedRect(QRectF(26, 42, 6, 13), 3, 3);
    // Leader lines to the three labels (y 12, 28, 44 in the window, Image1 at 20, 12).
    p.setPen(QPen(QColor(40, 40, 40), 1));
    const QPointF ends[] = {{88, 6}, {88, 22}, {88, 38}};
    const QPointF starts[] = {{17, 50}, {29, 48}, {42, 50}};
    for (int i = 0; i < 3; ++i) {
        p.drawLine(starts[i], QPointF(starts[i].x(), ends[i].y()));
        p.drawLine(QPointF(starts[i].x(), ends[i].y()), ends[i]);
        p.drawEllipse(starts[i], 1.5, 1.5);
    }
    p.end();
    return pix;
}

}  // namespace orlex
