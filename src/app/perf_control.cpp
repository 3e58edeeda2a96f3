#include "app/app.h"

namespace ovra {

bool restoreWithReason(App& app, const std::wstring& reason) {
    const std::wstring path = appFilePath(app, recoveryFileName);
    if (!recoveryFileExists(path)) return true;
    std::wstring result;
    const bool restored = restorePerfChange(app.powerApi, path, result);
    app.perfMessage = reason + L" " + result;
    app.perfMessageIsError = !restored;
    return restored;
}

void safetyCheck(App&) {}

} // namespace ovra
