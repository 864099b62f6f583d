// The quick-reference window: mouse controls of the 3D view and the keyboard
// shortcuts. "&Ok", Enter and Esc close it.
//
// Use (Help > "Help...", F1): HelpForm->exec();
#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;
class QTextEdit;

namespace orlex {

class THelpForm : public QDialog {
    Q_OBJECT

public:
    explicit THelpForm(QWidget* parent = nullptr);

    QWidget* Panel1 = nullptr;
    QLabel* Image1 = nullptr;  // the mouse drawing
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QTextEdit* RichEdit1 = nullptr;  // the keyboard list, read-only
    QWidget* Panel2 = nullptr;
    QPushButton* BitBtn1 = nullptr;  // "&Ok"

    // The keyboard list, one entry per line ("key\taction", group titles alone).
    static QStringList KeyboardLines();
    // Whether a line of the list is a group title (shown bold).
    static bool IsGroupTitle(const QString& line);
    // The mouse drawing (89 x 109) with leader lines to the three labels.
    static QPixmap MousePicture();

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace orlex
