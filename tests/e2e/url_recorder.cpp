// Stands in for the browser: registered as the handler of http addresses, it
// records the address it was given and the show command it was started with.
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    const std::wstring record = L"address=" + std::wstring(argc > 1 ? argv[1] : L"") + L"\nuseShowWindow=" +
                                ((startup.dwFlags & STARTF_USESHOWWINDOW) ? L"1" : L"0") +
                                L"\nshow=" + std::to_wstring(startup.wShowWindow) + L"\n";
    char utf8[4096];
    const int size = WideCharToMultiByte(CP_UTF8, 0, record.c_str(), static_cast<int>(record.size()), utf8,
                                         sizeof utf8, nullptr, nullptr);
    const HANDLE file = CreateFileW(L"C:\\velkarn-e2e\\opened.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, utf8, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
    return 0;
}
