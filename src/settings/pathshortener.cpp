#include "pathshortener.h"

#include <QDir>
#include <QFontMetrics>

namespace orlex {

QString ShortenPath(const QString& path, int maxWidth,
                    const std::function<int(const QString&)>& width, QChar separator) {
    const qsizetype lastSep = path.lastIndexOf(separator);
    QString dir = lastSep >= 0 ? path.left(lastSep + 1) : QString();
    const QString name = lastSep >= 0 ? path.mid(lastSep + 1) : path;
    QString drive;
    if (dir.size() >= 2 && dir.at(1) == QLatin1Char(':')) {
        drive = dir.left(2);
        dir = dir.mid(2);
    }
    const QString dots = QStringLiteral("...") + separator;
    const QString sepDots = separator + dots;

    // Each round removes one directory or empties the drive, so the loop ends;
    // the bound guards against any text that would not shrink.
    for (qsizetype round = 0; round <= path.size() + 2; ++round) {
        if (width(drive + dir + name) <= maxWidth || (drive.isEmpty() && dir.isEmpty())) break;
        if (dir == sepDots) {
            drive.clear();
            dir = dots;
        } else if (dir.isEmpty()) {
            drive.clear();
        } else {
            const QString before = dir;
            const bool leadingSep = dir.startsWith(separator);
            if (leadingSep) dir.remove(0, 1);
            if (dir.startsWith(dots)) dir.remove(0, dots.size());
            const qsizetype next = dir.indexOf(separator);
            if (next < 0) {
                dir.clear();
            } else {
                dir = dots + dir.mid(next + 1);
                if (leadingSep) dir.prepend(separator);
            }
            // A bare root ("\") would come back unchanged and never fit: drop it.
            if (dir == before) dir.clear();
        }
    }
    return drive + dir + name;
}

QString ShortenPath(const QString& path, int maxWidth, const QFontMetrics& metrics) {
    return ShortenPath(
        path, maxWidth, [&metrics](const QString& text) { return metrics.horizontalAdvance(text); },
        QDir::separator());
}

}  // namespace orlex
