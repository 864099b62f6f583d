#include "qtsupport.h"

#include <QDir>
#include <QFile>

#include "projects.h"

namespace orlex::test {

void UseSettingsFolder(const QString& dir) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir);
}

QSettings RawSettings() {
    return QSettings("Quenwick", "ORLEX Viewer");
}

void ClearSettings() {
    QSettings raw("Quenwick", "ORLEX Viewer");
    raw.clear();
    raw.sync();
}

TTempSettings::TTempSettings() {
    UseSettingsFolder(Dir_.path());
    ClearSettings();
}

QString ProjectText(const QStringList& captions, int vmax, const QStringList& tracks, int toff) {
    std::vector<std::string> c, t;
    for (const QString& s : captions) c.push_back(s.toStdString());
    for (const QString& s : tracks) t.push_back(s.toStdString());
    return QString::fromStdString(ProjectText(c, vmax, t, toff));
}

QStringList ShownTexts(const TRecordingMessages& messages) {
    QStringList texts;
    for (const TShownMessage& m : messages.Messages) texts << QString::fromStdString(m.Text);
    return texts;
}

QStringList ShownCaptions(const TRecordingMessages& messages) {
    QStringList captions;
    for (const TShownMessage& m : messages.Messages) captions << QString::fromStdString(m.Caption);
    return captions;
}

QString WriteFile(const QString& dir, const QString& name, const QString& text) {
    const QString path = QDir(dir).filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(text.toUtf8());
    return path;
}

}  // namespace orlex::test
