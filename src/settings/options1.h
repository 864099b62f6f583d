// The screen-shot settings record.
#pragma once

#include <QString>

namespace orlex {

// Where screen shots go (ScreenShotSaveOption).
constexpr int kSaveNextToLogFile = 1;     // the directory of the loaded log file
constexpr int kSaveAskEachTime = 2;       // save dialog / directory chosen per series
constexpr int kSaveToFixedDirectory = 3;  // ScreenShotSaveDirectory

class TOptions1 {
public:
    TOptions1() = default;

    QString ScreenShotSaveDirectory;  // directory of save option 3 (or of the last saved shot)
    bool IsOverwritingAsked = false;  // ask before a shot replaces a file
    int ScreenShotSaveOption = 1;     // 1..3, other values kept as read
    int ScreenShotResizeOption = 1;   // 1 percentage, 2 fixed width, 3 fixed height
    int ScreenShotResizeValue = 100;  // percent or pixels

    // Reads the five values under the application's settings key; each value
    // that is missing or not of its type takes its default by itself. Values
    // out of range are kept as they are.
    void LoadFromRegistry(const QString& appTitle);
    // Writes the five values. Returns whether the store accepted them.
    bool SaveToRegistry(const QString& appTitle) const;

    bool operator==(const TOptions1&) const = default;
};

}  // namespace orlex
