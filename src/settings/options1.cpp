#include "options1.h"

#include "appsettings.h"

namespace orlex {

void TOptions1::LoadFromRegistry(const QString& appTitle) {
    const TAppSettings settings(appTitle);
    ScreenShotSaveOption = settings.ScreenShotSaveOption();
    ScreenShotSaveDirectory = settings.ScreenShotSaveDirectory();
    IsOverwritingAsked = settings.IsOverwritingAsked();
    ScreenShotResizeOption = settings.ScreenShotResizeOption();
    ScreenShotResizeValue = settings.ScreenShotResizeValue();
}

bool TOptions1::SaveToRegistry(const QString& appTitle) const {
    TAppSettings settings(appTitle);
    bool ok = true;
    settings.SetScreenShotSaveOption(ScreenShotSaveOption);
    ok = ok && settings.LastWriteOk();
    settings.SetScreenShotSaveDirectory(ScreenShotSaveDirectory);
    ok = ok && settings.LastWriteOk();
    settings.SetIsOverwritingAsked(IsOverwritingAsked);
    ok = ok && settings.LastWriteOk();
    settings.SetScreenShotResizeOption(ScreenShotResizeOption);
    ok = ok && settings.LastWriteOk();
    settings.SetScreenShotResizeValue(ScreenShotResizeValue);
    ok = ok && settings.LastWriteOk();
    return ok;
}

}  // namespace orlex
