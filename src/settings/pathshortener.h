// Shortens a path for display: leading directories give way to "..." until the
// text fits a width; the file name itself is never cut.
#pragma once

#include <QChar>
#include <QString>
#include <functional>

class QFontMetrics;

namespace orlex {

// width measures a text in pixels; separator is the path separator of the text.
QString ShortenPath(const QString& path, int maxWidth,
                    const std::function<int(const QString&)>& width, QChar separator);

// The same in a font, with the platform's separator.
QString ShortenPath(const QString& path, int maxWidth, const QFontMetrics& metrics);

}  // namespace orlex
