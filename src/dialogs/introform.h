// The start-up window: product picture, ownership notice and version line.
// It closes by itself after its display time and, when that time is above
// 2000 ms, also on a click.
//
// Use (Help > "Startup window..."):
//   IntroForm->SetDisplayTime(5000);
//   IntroForm->exec();
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QTimer;

namespace orlex {

class TIntroForm : public QDialog {
    Q_OBJECT

public:
    explicit TIntroForm(QWidget* parent = nullptr);

    QLabel* Label2 = nullptr;  // ownership notice
    QLabel* Label3 = nullptr;  // "Version: ..."
    QTimer* Timer1 = nullptr;  // display time; runs from each showing

    // Display time in milliseconds (the timer's interval); kept between showings.
    void SetDisplayTime(int milliseconds);
    int DisplayTime() const;

    // The version text with 2 to 4 parts of this build's version.
    static QString GetVersionText(int parts);
    // The same for a given version string ("1.0.1.0"): the numbers joined by
    // "."; "No file information available." when the string is empty,
    // "No version information available." when it is not a version.
    static QString VersionTextFrom(const QString& version, int parts);

    // The ownership and update notice (four lines).
    static QString NoticeText();

    // Handlers.
    void FormActivate();  // on every showing: fills the labels, starts the display time
    void Timer1Timer();   // end of the display time: closes the window
    void CloseForm();     // a click: closes only while a display time above 2000 ms runs

    // The product picture (385 x 170).
    static QPixmap ProductPicture();

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};

}  // namespace orlex
