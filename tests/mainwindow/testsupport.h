// Helpers shared by the main-window tests: recorded message boxes, settings in a
// temporary folder, and small 3D log files written on the fly.
#pragma once

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "interfaces.h"

namespace orlex::test {

struct TShownMessage {
    std::string Text;
    std::string Caption;
    TMsgIcon Icon;
};

class TRecordingMessages final : public IMessages {
public:
    TMsgResult ShowMessage(const std::string& text, const std::string& caption, TMsgIcon icon,
                           TMsgButtons buttons) override {
        Shown.push_back({text, caption, icon});
        return buttons == TMsgButtons::YesNo || buttons == TMsgButtons::YesNoCancel
                   ? TMsgResult::Yes
                   : TMsgResult::Ok;
    }
    std::vector<TShownMessage> Shown;
};

// Sends every settings access of the test program into dir.
inline void UseSettingsFolder(const QString& dir) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir);
}

// Direct access to the stored values, for preparing and checking them.
inline QSettings RawSettings() {
    return QSettings("Quenwick", "ORLEX Viewer");
}

inline void ClearSettings() {
    QSettings raw("Quenwick", "ORLEX Viewer");
    raw.clear();
    raw.sync();
}

// A project of persons x decks: every deck 6 x 4 cells of white floor inside a
// ring of blocks, captions as given, every person walking tracks[i].
inline QString ProjectText(const QStringList& captions, int vmax, const QStringList& tracks,
                           int toff = 0) {
    QString text = "<header>\nversion 1\n";
    text += QString("pmax %1\nxmax 6\nymax 4\nzmax %2\nvmax %3\ntoff %4\n</header>\n")
                .arg(tracks.size())
                .arg(captions.size())
                .arg(vmax)
                .arg(toff);
    for (int z = 0; z < captions.size(); ++z) {
        text += QString(
                    "<deck>\nlevel %1\ncaption %2\n(celldata)\n111111\n100001\n100001\n111111\n"
                    "</deck>\n")
                    .arg(z)
                    .arg(captions[z]);
    }
    text += "<persons>\n<startpositions>\n";
    for (int i = 0; i < tracks.size(); ++i) text += "1 1 0 3 0\n";
    text += "(movement)\n";
    for (const QString& track : tracks) text += track + "\n";
    text += "</persons>\n";
    return text;
}

inline QString WriteFile(const QString& dir, const QString& name, const QString& text) {
    const QString path = QDir(dir).filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(text.toUtf8());
    return path;
}

}  // namespace orlex::test
