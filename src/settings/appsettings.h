// Typed access to the program's persistent settings.
//
// All settings live under the organisation "Quenwick" and the application
// title given to the constructor, in the platform's native store: on Windows
// the registry key HKEY_CURRENT_USER\Software\Quenwick\<title>, on Linux an
// INI file (~/.config/Quenwick/<title>.conf). Nothing else in the program
// touches QSettings.
//
// Every getter reads its value by itself and returns the value's default when
// the value is missing or "not of its type":
//  - integer values: the stored value must be an integer (a DWORD in the
//    registry) or, because INI files keep no types, a text that is a whole
//    decimal number in the 32-bit range (unsigned 32-bit texts wrap to the
//    signed value, as a DWORD does). Anything else ("fast", "1.5", "",
//    a list) reads as the default.
//  - string values: the stored value must be a single string (or a number,
//    which an INI file cannot tell apart from a text); a list (REG_MULTI_SZ,
//    or an unquoted comma list in an INI file) reads as the default.
//  - booleans are stored as the integers 1 and 0; any non-zero integer reads
//    as true, anything that is not an integer reads as false.
//
// Every setter writes at once (the object opens and closes the store for each
// access, as a registry key would be).
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

#include "settings.h"

namespace orlex {

// The deck spacing of the stacked view, in block heights.
inline constexpr double kDefaultDeckSpacingSetting = 3.0;
inline constexpr double kMinDeckSpacing = 1.0;
inline constexpr double kMaxDeckSpacing = 20.0;

// The last values of the import dialog.
struct TImportValues {
    double CellSize = 0.4;     // metres, 0.05 to 5
    QString Geometry;          // a geometry file; empty for none
    double Fps = 25;           // frame rate where the file gives none, 1 to 1000
    bool Centimetres = false;  // length unit where the file names none
    bool operator==(const TImportValues&) const = default;
};

class TAppSettings {
public:
    explicit TAppSettings(const QString& appTitle = QStringLiteral("ORLEX Viewer"));

    // The organisation every settings key lives under.
    static QString Organisation() { return QStringLiteral("Quenwick"); }
    const QString& AppTitle() const { return appTitle_; }

    // Highest animation speed (default 5).
    int MaxAnimationSpeed() const;
    void SetMaxAnimationSpeed(int value);

    // The places and sizes of the main window's docks and tool bars, as
    // QMainWindow::saveState gives them ("WindowState"; empty when missing or not
    // bytes).
    QByteArray WindowState() const;
    void SetWindowState(const QByteArray& state);

    // Full path of the last file opened through the Load dialog (default "").
    QString LogDir() const;
    void SetLogDir(const QString& path);

    // The folder of the last exported video (default ""): the next one goes there.
    QString LastExportFolder() const;
    void SetLastExportFolder(const QString& folder);

    // The recent-projects list from the subkey "Last Projects": values "1".."4"
    // in order; missing or empty ones are skipped, so the result is compact
    // (at most four entries). A value that is not a string ends the reading.
    QStringList LastProjects() const;
    // Writes entry k as value "k+1" for k = 0..3; empty entries and entries
    // beyond the fourth are not written, and values already stored for them
    // stay as they are.
    void SetLastProjects(const QStringList& projects);

    // Screen-shot settings (defaults 1, "", false, 1, 100).
    int ScreenShotSaveOption() const;
    void SetScreenShotSaveOption(int value);
    QString ScreenShotSaveDirectory() const;
    void SetScreenShotSaveDirectory(const QString& value);
    bool IsOverwritingAsked() const;
    void SetIsOverwritingAsked(bool value);
    int ScreenShotResizeOption() const;
    void SetScreenShotResizeOption(int value);
    int ScreenShotResizeValue() const;
    void SetScreenShotResizeValue(int value);

    // The evacuation analysis settings ("AnalysisCellSize", "AnalysisWindow",
    // "AnalysisDensityLimit", "AnalysisCongestionShare"), stored as decimal texts
    // with a point. Each value that is missing, no number (the window: no whole
    // number) or out of range reads as its default by itself.
    TAnalysisSettings AnalysisSettings() const;
    void SetAnalysisSettings(const TAnalysisSettings& value);

    // The distance between the floors of the stacked decks, in block heights
    // ("DeckSpacing", a decimal text with a point); a missing value, or one that
    // is no number or out of range, reads as 8.
    double DeckSpacing() const;
    void SetDeckSpacing(double value);

    // The import dialog's last values ("ImportCellSize", "ImportGeometry", "ImportFps",
    // "ImportUnit" m or cm); each missing or bad one reads as its default.
    TImportValues ImportValues() const;
    void SetImportValues(const TImportValues& value);

    // Whether the last write reached the store (false on an access or format
    // error, e.g. a read-only settings file).
    bool LastWriteOk() const { return lastWriteOk_; }

    // Conversions used by the getters; public so that tests can check the
    // type rules without a store.
    static bool ToInt(const QVariant& value, int* out);
    static bool ToText(const QVariant& value, QString* out);

private:
    int ReadInt(const QString& key, int fallback) const;
    QString ReadText(const QString& key, const QString& fallback) const;
    void Write(const QString& key, const QVariant& value);

    QString appTitle_;
    bool lastWriteOk_ = true;
};

// Takes one analysis value from text (a decimal number with a point; the window a
// whole number) into settings. Returns the message of ValidateAnalysisSettings
// for text that is no number or a value out of range, leaving settings as they are.
std::optional<QString> ReadAnalysisSetting(TAnalysisSetting setting, const QString& text,
                                           TAnalysisSettings& settings);

}  // namespace orlex
