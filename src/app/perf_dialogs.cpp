#include "app/perf_dialogs.h"

#include "app/app.h"
#include "app/perf_control.h"
#include "sources/format.h"

namespace ovra {

namespace {

bool askYesNo(App& app, const std::wstring& text, const wchar_t* caption, UINT style) {
    return app.dialogs.messageBox(app.window, text.c_str(), caption, MB_YESNO | style) == IDYES;
}

void tell(App& app, const std::wstring& text, UINT icon) {
    app.dialogs.messageBox(app.window, text.c_str(), productName, MB_OK | icon);
}

const wchar_t consentText[] =
    L"PERINGATAN\n\nAnda akan mengaktifkan kontrol performa. Ovra Monitor hanya memakai "
    L"pengaturan daya resmi Windows (rencana daya dan status prosesor maksimum) dalam batas yang "
    L"diizinkan Windows. Tidak ada overclock, perubahan voltase, atau perubahan BIOS.\n\nMeski "
    L"demikian, perubahan dapat membuat perangkat lebih panas, lebih bising, atau lebih lambat, "
    L"dan baterai lebih cepat habis.\n\nNilai asli akan disimpan dan dipulihkan otomatis bila "
    L"aplikasi ditutup, perangkat tidur, sensor suhu hilang, atau suhu melewati batas "
    L"pengaman.\n\nSaya memahami risikonya dan ingin melanjutkan?";

// The gate now; a refusal is told with its reason.
bool gateAllows(App& app, UINT icon) {
    std::wstring reason;
    if (checkPerfGate(app, reason)) return true;
    tell(app, reason, icon);
    return false;
}

} // namespace

std::wstring perfConfirmationText(const std::wstring& planName, uint32_t percent,
                                  int32_t safetyLimit) {
    return L"Terapkan perubahan berikut?\n\nRencana daya: " + planName +
           formatText(L"\nStatus prosesor maksimum: %lu%% (saat dicolok & baterai)",
                      static_cast<unsigned long>(percent)) +
           formatText(L"\nBatas pengaman suhu: %d°C", int(safetyLimit)) +
           L"\n\nNilai asli disimpan dan dapat dikembalikan kapan saja.";
}

void togglePerfControlCommand(App& app) {
    if (app.perf.perfControlOn) {
        switchPerfControlOff(app);
        return;
    }
    if (!gateAllows(app, MB_ICONINFORMATION)) return;
    if (!askYesNo(app, consentText, L"Persetujuan kontrol performa",
                  MB_ICONWARNING | MB_DEFBUTTON2))
        return;
    // The timers ran while the question was open: the sensor may be gone or the
    // limit reached by now.
    if (!gateAllows(app, MB_ICONINFORMATION)) return;
    switchPerfControlOn(app);
}

void applyPerfChangeCommand(App& app) {
    if (!app.perf.perfControlOn) return;
    if (!gateAllows(app, MB_ICONEXCLAMATION)) return;
    const auto& plans = app.perf.perfCaps.planList;
    if (app.perf.selectedPlan < 0 || static_cast<size_t>(app.perf.selectedPlan) >= plans.size()) {
        tell(app, L"Pilih rencana daya terlebih dahulu.", MB_ICONINFORMATION);
        return;
    }
    const std::wstring text =
        perfConfirmationText(plans[size_t(app.perf.selectedPlan)].name, app.perf.selectedPercent,
                             app.settings.safetyLimit);
    if (!askYesNo(app, text, L"Konfirmasi perubahan", MB_ICONWARNING | MB_DEFBUTTON2)) return;
    if (!gateAllows(app, MB_ICONEXCLAMATION)) return; // asked again: see the consent
    applySelectedPerfChange(app);
}

void resetPerfCommand(App& app) {
    if (!askYesNo(app,
                  L"Aktifkan rencana daya \"Seimbang\" bawaan Windows dengan status prosesor "
                  L"maksimum 100%?",
                  productName, MB_ICONQUESTION))
        return;
    resetPerfSettings(app);
}

} // namespace ovra
