#include "screenshots.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cstdint>
#include <utility>

#include "appsettings.h"

namespace orlex {

QString FormatShotNumber(int n) {
    // "%.6i": at least six digits; a minus sign comes before the zeros.
    const qint64 v = n;
    const QString digits = QString::number(v < 0 ? -v : v).rightJustified(6, QLatin1Char('0'));
    return (v < 0 ? QStringLiteral("-") : QString()) + digits + QStringLiteral(".jpg");
}

QString DirectoryPart(const QString& path) {
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return cut < 0 ? QString() : path.left(cut + 1);
}

QString JoinPath(const QString& dir, const QString& name) {
    if (dir.isEmpty()) return name;
    if (dir.endsWith(QLatin1Char('/')) || dir.endsWith(QLatin1Char('\\'))) return dir + name;
    return dir + QLatin1Char('/') + name;
}

bool ComputeShotSize(int resizeOption, int value, int viewWidth, int viewHeight, int* width,
                     int* height) {
    const int64_t wv = viewWidth;
    const int64_t hv = viewHeight;
    const int64_t v = value;
    int64_t w = 0;
    int64_t h = 0;
    bool known = true;
    // Floor division for the (rare) negative operands as well.
    auto floorDiv = [](int64_t a, int64_t b) -> int64_t {
        int64_t q = a / b;
        if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
        return q;
    };
    switch (resizeOption) {
        case kResizeByPercentage:
            w = floorDiv(v * wv, 100);
            h = floorDiv(v * hv, 100);
            break;
        case kResizeFixedWidth:
            w = v;
            h = wv > 0 ? floorDiv(hv * v, wv) : 0;
            break;
        case kResizeFixedHeight:
            w = hv > 0 ? floorDiv(wv * v, hv) : 0;
            h = v;
            break;
        default:
            known = false;
            break;
    }
    if (!known || w <= 0 || h <= 0) {
        w = viewWidth;
        h = viewHeight;
    }
    // Keep the result representable; the writer refuses oversized pictures.
    const int64_t cap = int64_t{1} << 30;
    *width = static_cast<int>(w > cap ? cap : w);
    *height = static_cast<int>(h > cap ? cap : h);
    return known;
}

QString ShotInternalErrorText() {
    return QStringLiteral("Error in TMainForm::Singlescreenshot1Click(). Contact Quenwick.");
}

QString ShotOverwriteQuestionText() {
    return QStringLiteral(
        "You are about to overwrite an existing file with this screen shot. Do you want to "
        "proceed?");
}

TScreenShots::TScreenShots(TOptions1& options, QString appTitle, TShotHost host)
    : options_(options), appTitle_(std::move(appTitle)), host_(std::move(host)) {}

void TScreenShots::Error(const QString& text) {
    if (host_.Messages) {
        host_.Messages->ShowMessage(text.toStdString(), "Error", TMsgIcon::Error, TMsgButtons::Ok);
    }
}

void TScreenShots::SetSeriesState(bool on) {
    if (series_ == on) return;
    series_ = on;
    if (host_.SeriesChanged) host_.SeriesChanged(on);
}

void TScreenShots::SingleShot(const TShotState& state) {
    screenShotPath_.clear();
    Shoot(state, true);
}

bool TScreenShots::TakeScreenShot(const TShotState& state) {
    return Shoot(state, false);
}

QString TScreenShots::BuildTarget(const TShotState& state, bool single, bool* failed) {
    const QString name = FormatShotNumber(state.StepCounter);
    *failed = false;
    switch (options_.ScreenShotSaveOption) {
        case kSaveNextToLogFile:
            return DirectoryPart(state.LogFileName) + name;
        case kSaveAskEachTime: {
            if (series_ && !seriesDirectory_.isEmpty()) return seriesDirectory_ + name;
            if (series_ && !single) {
                // A series without its directory (the option changed while it
                // ran): it cannot go on.
                *failed = true;
                return QString();
            }
            TAppSettings settings(appTitle_);
            const QString initialDir = DirectoryPart(settings.ScreenShotSaveDirectory());
            const QString chosen =
                host_.ChooseSaveFile ? host_.ChooseSaveFile(initialDir, name) : QString();
            if (chosen.isEmpty()) return QString();  // cancelled: nothing written
            settings.SetScreenShotSaveDirectory(chosen);
            options_.ScreenShotSaveDirectory = DirectoryPart(chosen);
            return chosen;
        }
        case kSaveToFixedDirectory:
            if (options_.ScreenShotSaveDirectory.isEmpty()) {
                Error(QStringLiteral(
                    "Please choose a directory in which you want to save the screen shots."));
                *failed = true;
                return QString();
            }
            return JoinPath(options_.ScreenShotSaveDirectory, name);
        default:
            Error(ShotInternalErrorText());
            *failed = true;
            return QString();
    }
}

bool TScreenShots::Shoot(const TShotState& state, bool single) {
    if (busy_ || !state.LogFileLoaded) return false;
    busy_ = true;
    struct TBusyReset {
        bool& flag;
        ~TBusyReset() { flag = false; }
    } reset{busy_};

    bool failed = false;
    screenShotPath_ = BuildTarget(state, single, &failed);
    if (failed) {
        // A series that cannot name its files would only repeat the message.
        if (!single) SetSeriesState(false);
        return false;
    }

    const QSize view = host_.ViewSize ? host_.ViewSize() : QSize();
    int width = 0;
    int height = 0;
    if (!ComputeShotSize(options_.ScreenShotResizeOption, options_.ScreenShotResizeValue,
                         view.width(), view.height(), &width, &height)) {
        // Unknown resize option: reported, then written at the view's own size.
        Error(ShotInternalErrorText());
    }

    if (screenShotPath_.isEmpty()) return false;
    if (options_.IsOverwritingAsked && QFileInfo::exists(screenShotPath_) && host_.Messages) {
        const TMsgResult answer =
            host_.Messages->ShowMessage(ShotOverwriteQuestionText().toStdString(), "Warning",
                                        TMsgIcon::Warning, TMsgButtons::OkCancel);
        if (answer != TMsgResult::Ok) return false;
    }
    QString why;
    const bool written = host_.Capture && host_.Capture(screenShotPath_, width, height, &why);
    if (!written) {
        if (why.isEmpty()) why = QStringLiteral("The picture could not be captured.");
        SetSeriesState(false);
        Error(QStringLiteral("The screen shot could not be written to\n%1\n\n%2")
                  .arg(QDir::toNativeSeparators(screenShotPath_), why));
        return false;
    }
    return true;
}

bool TScreenShots::SetSeries(bool on) {
    if (!on) {
        SetSeriesState(false);
        return false;
    }
    if (options_.ScreenShotSaveOption == kSaveAskEachTime) {
        const QString start = DirectoryPart(TAppSettings(appTitle_).ScreenShotSaveDirectory());
        const QString chosen = host_.ChooseDirectory ? host_.ChooseDirectory(start) : QString();
        if (chosen.isEmpty()) {
            // Cancelled: the button goes up again.
            series_ = true;
            SetSeriesState(false);
            return false;
        }
        seriesDirectory_ = JoinPath(chosen, QString());
        if (!seriesDirectory_.endsWith(QLatin1Char('/')) &&
            !seriesDirectory_.endsWith(QLatin1Char('\\'))) {
            seriesDirectory_ += QLatin1Char('/');
        }
    } else {
        seriesDirectory_.clear();
    }
    SetSeriesState(true);
    return true;
}

void TScreenShots::EndSeries() {
    SetSeriesState(false);
}

}  // namespace orlex
