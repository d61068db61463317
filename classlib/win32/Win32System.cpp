#include "classlib/win32/Win32System.h"

#include <windows.h>
#include <shellapi.h>

#include "classlib/win32/WideText.h"

namespace classlib::win32 {

namespace {
HKEY ToHkey(RegKey key) { return reinterpret_cast<HKEY>(key); }

// The shell may hand a web address to a handler that it starts through COM, so COM
// must be initialised on this thread first. ole32 is loaded only when it is needed,
// which keeps it out of the program's imports and its start.
void InitializeComOnce() {
    static const bool initialized = [] {
        using CoInitializeExFunction = HRESULT(WINAPI*)(void*, DWORD);
        const HMODULE ole = LoadLibraryW(L"ole32.dll");
        const auto initialize = reinterpret_cast<CoInitializeExFunction>(
            reinterpret_cast<void*>(ole ? GetProcAddress(ole, "CoInitializeEx") : nullptr));
        return initialize && SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    }();
    (void)initialized;
}
}  // namespace

long Win32Registry::OpenKey(RegKey parent, const char* subKey, std::uint32_t access, RegKey* result) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(ToHkey(parent), subKey, 0, access, &opened);
    *result = status == ERROR_SUCCESS ? reinterpret_cast<RegKey>(opened) : 0;
    return status;
}

long Win32Registry::QueryValue(RegKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                               std::uint32_t* size) {
    DWORD valueType = 0;
    DWORD valueSize = *size;
    const LONG status = RegQueryValueExA(ToHkey(key), name, nullptr, &valueType, data, &valueSize);
    *type = valueType;
    *size = valueSize;
    return status;
}

long Win32Registry::CloseKey(RegKey key) { return RegCloseKey(ToHkey(key)); }

std::optional<std::uint32_t> Win32FileFinder::FindFirst(const std::string& pattern) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return std::nullopt;
    FindClose(search);
    return found.dwFileAttributes;
}

std::intptr_t Win32Desktop::OpenWithShell(WindowHandle owner, const char* verb, const char* file,
                                          const char* parameters, const char* directory, int showCommand) {
    InitializeComOnce();
    const HINSTANCE result =
        ShellExecuteA(static_cast<HWND>(owner), verb, file, parameters, directory, showCommand);
    return reinterpret_cast<std::intptr_t>(result);
}

void Win32Desktop::ShowMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                                  std::uint32_t style) {
    MessageBoxW(static_cast<HWND>(owner), Widen(text).c_str(), Widen(caption).c_str(), style);
}

void Win32Desktop::PostQuit(int exitCode) { PostQuitMessage(exitCode); }

}  // namespace classlib::win32
