// Loaded by Wine into the program's GUI thread through a message hook: on the
// probe's request it reports, for each control of a window, the font it actually
// uses and the system icon it shows, or tells the window that its density changed. Neither can be read from another process:
// font and icon handles mean something only inside their own.
#include <windows.h>

#include <string>

namespace {

const wchar_t* IconKind(HWND window) {
    wchar_t name[16] = L"";
    GetClassNameW(window, name, 16);
    if (lstrcmpiW(name, L"Static") != 0 || !(GetWindowLongW(window, GWL_STYLE) & SS_ICON)) return nullptr;
    const auto icon = reinterpret_cast<HICON>(SendMessageW(window, STM_GETICON, 0, 0));
    if (icon == LoadIconW(nullptr, MAKEINTRESOURCEW(32516))) return L"information";  // IDI_INFORMATION
    if (icon == LoadIconW(nullptr, MAKEINTRESOURCEW(32513))) return L"error";        // IDI_ERROR
    return icon ? L"other" : L"none";
}

std::wstring Describe(HWND window) {
    std::wstring line = L"id=" + std::to_wstring(GetDlgCtrlID(window));
    if (const wchar_t* icon = IconKind(window)) line += L"\ticon=" + std::wstring(icon);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    LOGFONTW logical{};
    if (!font || !GetObjectW(font, sizeof logical, &logical)) return line + L"\tfont=none\n";
    const HDC dc = GetDC(window);
    const HGDIOBJ old = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = L"";
    GetTextFaceW(dc, LF_FACESIZE, face);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    line += L"\tasked=" + std::wstring(logical.lfFaceName) + L"\theight=" + std::to_wstring(logical.lfHeight) +
            L"\tweight=" + std::to_wstring(logical.lfWeight) + L"\tcharset=" + std::to_wstring(logical.lfCharSet) +
            L"\tface=" + face + L"\tproportional=" + ((metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) ? L"1" : L"0") +
            L"\tcellHeight=" + std::to_wstring(metrics.tmHeight) +
            L"\tcharHeight=" + std::to_wstring(metrics.tmHeight - metrics.tmInternalLeading) +
            L"\trealisedWeight=" + std::to_wstring(metrics.tmWeight) + L"\n";
    return line;
}

BOOL CALLBACK AddChild(HWND child, LPARAM report) {
    *reinterpret_cast<std::wstring*>(report) += Describe(child);
    return TRUE;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK InspectHookProc(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT request = RegisterWindowMessageW(L"VelkarnProbeInspect");
    static const UINT densityChange = RegisterWindowMessageW(L"VelkarnProbeDensityChange");
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == densityChange) {
        // What Windows sends when the window moves to a monitor of another density:
        // the new density and a rectangle to take, here a little off where it is.
        RECT suggested;
        GetWindowRect(call->hwnd, &suggested);
        OffsetRect(&suggested, 40, 30);
        const WORD dpi = static_cast<WORD>(call->lParam);
        SendMessageW(call->hwnd, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    }
    if (code == HC_ACTION && call->message == request) {
        std::wstring report;
        EnumChildWindows(call->hwnd, AddChild, reinterpret_cast<LPARAM>(&report));
        COPYDATASTRUCT data{0x464F4E54, static_cast<DWORD>((report.size() + 1) * sizeof(wchar_t)),
                            const_cast<wchar_t*>(report.c_str())};
        SendMessageW(reinterpret_cast<HWND>(call->wParam), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
