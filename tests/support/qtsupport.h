// Qt-side test helpers: settings kept in a temporary folder, and files written on the fly.
#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "recorders.h"

namespace orlex::test {

// Sends every settings access of the test program into dir.
void UseSettingsFolder(const QString& dir);

// Direct access to the stored values, for preparing and checking them.
QSettings RawSettings();
void ClearSettings();

// Settings in a temporary folder for as long as the object lives.
class TTempSettings {
public:
    TTempSettings();
    QString Path() const { return Dir_.path(); }

private:
    QTemporaryDir Dir_;
};

// The text of ProjectText() as a QString, for the widget tests.
QString ProjectText(const QStringList& captions, int vmax, const QStringList& tracks, int toff = 0);

// The texts and captions of the recorded messages, for QCOMPARE.
QStringList ShownTexts(const TRecordingMessages& messages);
QStringList ShownCaptions(const TRecordingMessages& messages);

// Writes text (UTF-8) to dir/name and returns the path.
QString WriteFile(const QString& dir, const QString& name, const QString& text);

}  // namespace orlex::test
