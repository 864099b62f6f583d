#include "appsettings.h"

#include <QLocale>
#include <QSettings>
#include <limits>

namespace orlex {

namespace {

const char* const kMaxAnimationSpeed = "MaxAnimationSpeed";
const char* const kWindowState = "WindowState";
const char* const kLogDir = "LogDir";
const char* const kLastProjects = "Last Projects";
const char* const kLastExportFolder = "LastExportFolder";
const char* const kSaveOption = "ScreenShotSaveOption";
const char* const kSaveDirectory = "ScreenShotSaveDirectory";
const char* const kDeckSpacing = "DeckSpacing";
const char* const kOverwritingAsked = "IsOverwritingAsked";
const char* const kResizeOption = "ScreenShotResizeOption";
const char* const kResizeValue = "ScreenShotResizeValue";
const char* const kImportCellSize = "ImportCellSize";
const char* const kImportGeometry = "ImportGeometry";
const char* const kImportFps = "ImportFps";
const char* const kImportUnit = "ImportUnit";
constexpr int kRecentCount = 4;

QString AnalysisText(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

constexpr TAnalysisSetting kAnalysisSettings[] = {
    TAnalysisSetting::CellSize, TAnalysisSetting::Window, TAnalysisSetting::DensityLimit,
    TAnalysisSetting::CongestionShare, TAnalysisSetting::FlowWindow};

}  // namespace

TAppSettings::TAppSettings(const QString& appTitle) : appTitle_(appTitle) {}

bool TAppSettings::ToInt(const QVariant& value, int* out) {
    switch (value.typeId()) {
        case QMetaType::Int:
            *out = value.toInt();
            return true;
        case QMetaType::UInt:
            *out = static_cast<int>(value.toUInt());
            return true;
        case QMetaType::LongLong:
        case QMetaType::ULongLong: {
            bool ok = false;
            const qlonglong v = value.toLongLong(&ok);
            if (!ok || v < std::numeric_limits<int>::min() ||
                v > static_cast<qlonglong>(std::numeric_limits<unsigned>::max())) {
                return false;
            }
            *out = static_cast<int>(static_cast<unsigned>(v));
            return true;
        }
        case QMetaType::QString:
        case QMetaType::QByteArray: {
            const QString text = value.toString().trimmed();
            bool ok = false;
            const int v = text.toInt(&ok, 10);
            if (ok) {
                *out = v;
                return true;
            }
            const unsigned u = text.toUInt(&ok, 10);
            if (ok) {
                *out = static_cast<int>(u);
                return true;
            }
            return false;
        }
        default:
            return false;
    }
}

bool TAppSettings::ToText(const QVariant& value, QString* out) {
    switch (value.typeId()) {
        case QMetaType::QString:
        case QMetaType::QByteArray:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            *out = value.toString();
            return true;
        default:
            return false;
    }
}

int TAppSettings::ReadInt(const QString& key, int fallback) const {
    QSettings settings(Organisation(), appTitle_);
    int v = 0;
    return ToInt(settings.value(key), &v) ? v : fallback;
}

QString TAppSettings::ReadText(const QString& key, const QString& fallback) const {
    QSettings settings(Organisation(), appTitle_);
    QString v;
    return ToText(settings.value(key), &v) ? v : fallback;
}

void TAppSettings::Write(const QString& key, const QVariant& value) {
    QSettings settings(Organisation(), appTitle_);
    settings.setValue(key, value);
    settings.sync();
    lastWriteOk_ = settings.status() == QSettings::NoError;
}

int TAppSettings::MaxAnimationSpeed() const {
    return ReadInt(kMaxAnimationSpeed, 5);
}
void TAppSettings::SetMaxAnimationSpeed(int value) {
    Write(kMaxAnimationSpeed, value);
}

double TAppSettings::DeckSpacing() const {
    bool ok = false;
    const double value = ReadText(kDeckSpacing, QString()).toDouble(&ok);
    return ok && value >= kMinDeckSpacing && value <= kMaxDeckSpacing ? value
                                                                      : kDefaultDeckSpacingSetting;
}
void TAppSettings::SetDeckSpacing(double value) {
    Write(kDeckSpacing, QString::number(value, 'g', 6));
}

TImportValues TAppSettings::ImportValues() const {
    TImportValues values;
    bool ok = false;
    const double cellSize = ReadText(kImportCellSize, QString()).toDouble(&ok);
    if (ok && cellSize >= kMinCellSize && cellSize <= kMaxCellSize) values.CellSize = cellSize;
    values.Geometry = ReadText(kImportGeometry, QString());
    const double fps = ReadText(kImportFps, QString()).toDouble(&ok);
    if (ok && fps >= 1 && fps <= 1000) values.Fps = fps;
    values.Centimetres = ReadText(kImportUnit, QString()) == "cm";
    return values;
}
void TAppSettings::SetImportValues(const TImportValues& value) {
    Write(kImportCellSize, AnalysisText(value.CellSize));
    Write(kImportGeometry, value.Geometry);
    Write(kImportFps, AnalysisText(value.Fps));
    Write(kImportUnit, value.Centimetres ? QStringLiteral("cm") : QStringLiteral("m"));
}

QByteArray TAppSettings::WindowState() const {
    QSettings settings(Organisation(), appTitle_);
    const QVariant value = settings.value(kWindowState);
    return value.typeId() == QMetaType::QByteArray ? value.toByteArray() : QByteArray();
}
void TAppSettings::SetWindowState(const QByteArray& state) {
    Write(kWindowState, state);
}

QString TAppSettings::LogDir() const {
    return ReadText(kLogDir, QString());
}
void TAppSettings::SetLogDir(const QString& path) {
    Write(kLogDir, path);
}

QString TAppSettings::LastExportFolder() const {
    return ReadText(kLastExportFolder, QString());
}
void TAppSettings::SetLastExportFolder(const QString& folder) {
    Write(kLastExportFolder, folder);
}

QStringList TAppSettings::LastProjects() const {
    QSettings settings(Organisation(), appTitle_);
    settings.beginGroup(kLastProjects);
    QStringList result;
    for (int k = 1; k <= kRecentCount; ++k) {
        const QVariant value = settings.value(QString::number(k));
        if (!value.isValid()) continue;  // missing
        QString text;
        if (!ToText(value, &text)) break;  // not a string: stop, keep what was read
        if (!text.isEmpty()) result.append(text);
    }
    settings.endGroup();
    return result;
}

void TAppSettings::SetLastProjects(const QStringList& projects) {
    QSettings settings(Organisation(), appTitle_);
    settings.beginGroup(kLastProjects);
    for (int k = 0; k < kRecentCount && k < projects.size(); ++k) {
        if (!projects[k].isEmpty()) settings.setValue(QString::number(k + 1), projects[k]);
    }
    settings.endGroup();
    settings.sync();
    lastWriteOk_ = settings.status() == QSettings::NoError;
}

int TAppSettings::ScreenShotSaveOption() const {
    return ReadInt(kSaveOption, 1);
}
void TAppSettings::SetScreenShotSaveOption(int value) {
    Write(kSaveOption, value);
}

QString TAppSettings::ScreenShotSaveDirectory() const {
    return ReadText(kSaveDirectory, QString());
}
void TAppSettings::SetScreenShotSaveDirectory(const QString& value) {
    Write(kSaveDirectory, value);
}

bool TAppSettings::IsOverwritingAsked() const {
    return ReadInt(kOverwritingAsked, 0) != 0;
}
void TAppSettings::SetIsOverwritingAsked(bool value) {
    Write(kOverwritingAsked, value ? 1 : 0);
}

int TAppSettings::ScreenShotResizeOption() const {
    return ReadInt(kResizeOption, 1);
}
void TAppSettings::SetScreenShotResizeOption(int value) {
    Write(kResizeOption, value);
}

int TAppSettings::ScreenShotResizeValue() const {
    return ReadInt(kResizeValue, 100);
}
void TAppSettings::SetScreenShotResizeValue(int value) {
    Write(kResizeValue, value);
}

std::optional<QString> ReadAnalysisSetting(TAnalysisSetting setting, const QString& text,
                                           TAnalysisSettings& settings) {
    const auto problem = ParseAnalysisSetting(setting, text.trimmed().toStdString(), settings);
    if (problem) return QString::fromStdString(problem->Message);
    return std::nullopt;
}

TAnalysisSettings TAppSettings::AnalysisSettings() const {
    TAnalysisSettings settings;
    for (TAnalysisSetting setting : kAnalysisSettings)
        ReadAnalysisSetting(setting, ReadText(SettingName(setting), QString()), settings);
    return settings;
}

void TAppSettings::SetAnalysisSettings(const TAnalysisSettings& value) {
    const QString texts[] = {AnalysisText(value.CellSize), QString::number(value.Window),
                             AnalysisText(value.DensityLimit), AnalysisText(value.CongestionShare),
                             AnalysisText(value.FlowWindow)};
    static_assert(std::size(texts) == std::size(kAnalysisSettings));
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        Write(SettingName(kAnalysisSettings[i]), texts[i]);
        if (!lastWriteOk_) return;
    }
}

}  // namespace orlex
