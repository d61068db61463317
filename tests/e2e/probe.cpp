// Reads and presses the program's windows from outside, for the end-to-end tests.
// It runs under Wine beside the program, takes one command a line on standard
// input (words separated by tabs) and answers each with one line of JSON:
//
//   main | app | dialogs | foreground      describe windows
//   inside HWND                            fonts and icons of its controls (via inspect_hook.dll)
//   density HWND DPI                       tell it that it moved to a monitor of that density
//   click HWND | post HWND MSG WPARAM LPARAM | activate HWND
//   elsewhere                              bring a window of the probe's own to the front
//   regset KEY NAME TYPE HEX | regdel KEY  prepare the registry (KEY as HKCU\..., HKLM\...)
//   quit
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string Handle(HWND window) { return std::to_string(reinterpret_cast<std::uintptr_t>(window)); }
HWND ParseHandle(const std::string& text) { return reinterpret_cast<HWND>(std::strtoull(text.c_str(), nullptr, 10)); }

std::string Text(HWND window) {
    wchar_t buffer[4096] = L"";
    GetWindowTextW(window, buffer, 4096);
    return Utf8(buffer);
}

std::string ClassName(HWND window) {
    wchar_t buffer[256] = L"";
    GetClassNameW(window, buffer, 256);
    return Utf8(buffer);
}

std::string Rect(const RECT& r) {
    return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right - r.left) + "," +
           std::to_string(r.bottom - r.top) + "]";
}

HWND FindTopLevel(const wchar_t* className) {
    struct Search {
        const wchar_t* className;
        HWND found;
    } search{className, nullptr};
    struct Callback {
        static BOOL CALLBACK Visit(HWND window, LPARAM param) {
            auto* s = reinterpret_cast<Search*>(param);
            wchar_t name[256];
            GetClassNameW(window, name, 256);
            if (lstrcmpW(name, s->className) != 0) return TRUE;
            s->found = window;
            return FALSE;
        }
    };
    EnumWindows(Callback::Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) children.push_back(child);
    std::string out = "[";
    for (HWND child : children) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        if (out.size() > 1) out += ",";
        out += "{\"hwnd\":" + Handle(child) + ",\"class\":" + Quote(ClassName(child)) + ",\"id\":" +
               std::to_string(GetDlgCtrlID(child)) + ",\"text\":" + Quote(Text(child)) + ",\"rect\":" + Rect(r) +
               ",\"style\":" + std::to_string(GetWindowLongW(child, GWL_STYLE)) +
               ",\"enabled\":" + (IsWindowEnabled(child) ? "true" : "false") +
               ",\"visible\":" + (IsWindowVisible(child) ? "true" : "false");
        out += "}";
    }
    return out + "]";
}

std::string Describe(HWND window) {
    if (!window) return "null";
    RECT frame, client;
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui);
    const HWND owner = GetWindow(window, GW_OWNER);
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    return "{\"hwnd\":" + Handle(window) + ",\"class\":" + Quote(ClassName(window)) + ",\"text\":" +
           Quote(Text(window)) + ",\"rect\":" + Rect(frame) + ",\"client\":" + Rect(client) +
           ",\"style\":" + std::to_string(static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE))) +
           ",\"exstyle\":" + std::to_string(static_cast<unsigned long>(GetWindowLongW(window, GWL_EXSTYLE))) +
           ",\"enabled\":" + (IsWindowEnabled(window) ? "true" : "false") +
           ",\"visible\":" + (IsWindowVisible(window) ? "true" : "false") +
           ",\"owner\":" + Handle(owner) + ",\"ownerClass\":" + Quote(owner ? ClassName(owner) : "") +
           ",\"focus\":" + Handle(gui.hwndFocus) + ",\"active\":" + Handle(gui.hwndActive) +
           ",\"dpi\":" + std::to_string(getDpi ? getDpi(window) : 0) + ",\"children\":" + Children(window) + "}";
}

std::string Dialogs() {
    std::vector<HWND> dialogs;
    struct Callback {
        static BOOL CALLBACK Visit(HWND window, LPARAM param) {
            wchar_t name[64];
            GetClassNameW(window, name, 64);
            if (lstrcmpW(name, L"#32770") == 0 && IsWindowVisible(window))
                reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
            return TRUE;
        }
    };
    EnumWindows(Callback::Visit, reinterpret_cast<LPARAM>(&dialogs));
    std::string out = "[";
    for (HWND dialog : dialogs) out += (out.size() > 1 ? "," : "") + Describe(dialog);
    return out + "]";
}

// Fonts and icons are process-local: plant the hook in the window's thread and let it report.
std::wstring report;

LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        report.assign(static_cast<const wchar_t*>(data->lpData));
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A message-only window of ours for the hook's reports.
HWND Receiver() {
    static const HWND receiver = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ReceiverProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VelkarnProbeReceiver";
        RegisterClassW(&wc);
        return CreateWindowW(L"VelkarnProbeReceiver", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }();
    return receiver;
}

// Runs `send` with the hook planted in the target window's thread.
template <class Send>
bool WithHook(HWND target, Send send) {
    const HWND receiver = Receiver();
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dll(path);
    dll = dll.substr(0, dll.find_last_of(L'\\') + 1) + L"inspect_hook.dll";
    const HMODULE module = LoadLibraryW(dll.c_str());
    const auto proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module, "InspectHookProc")));
    if (!proc) return false;
    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, proc, module, GetWindowThreadProcessId(target, nullptr));
    if (!hook) return false;
    send(receiver);
    UnhookWindowsHookEx(hook);
    return true;
}

std::string Inside(HWND target) {
    report.clear();
    const bool hooked = WithHook(target, [&](HWND receiver) {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(target, RegisterWindowMessageW(L"VelkarnProbeInspect"), reinterpret_cast<WPARAM>(receiver),
                            0, SMTO_NORMAL, 5000, &result);
    });
    return hooked ? "{\"report\":" + Quote(Utf8(report)) + "}" : "{\"error\":\"no hook\"}";
}

std::string DensityChange(HWND target, LPARAM dpi) {
    const bool hooked = WithHook(target, [&](HWND) {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(target, RegisterWindowMessageW(L"VelkarnProbeDensityChange"), 0, dpi, SMTO_NORMAL, 5000,
                            &result);
    });
    return hooked ? "{\"ok\":true}" : "{\"error\":\"no hook\"}";
}

// A small window of our own that can take the foreground from the program. It
// lives on a thread of its own that keeps taking messages: the system sends it
// activation messages while the main thread waits on standard input.
HWND elsewhereWindow = nullptr;

DWORD WINAPI ElsewhereThread(void* ready) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VelkarnProbeElsewhere";
    RegisterClassW(&wc);
    elsewhereWindow = CreateWindowW(L"VelkarnProbeElsewhere", L"elsewhere", WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 0,
                                    120, 60, nullptr, nullptr, wc.hInstance, nullptr);
    SetEvent(static_cast<HANDLE>(ready));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}

std::string Elsewhere() {
    if (!elsewhereWindow) {
        const HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        CloseHandle(CreateThread(nullptr, 0, ElsewhereThread, ready, 0, nullptr));
        WaitForSingleObject(ready, 10000);
        CloseHandle(ready);
    }
    SetForegroundWindow(elsewhereWindow);
    return "{\"hwnd\":" + Handle(elsewhereWindow) + "}";
}

HKEY RootOf(std::string& path) {
    const auto slash = path.find('\\');
    const std::string root = path.substr(0, slash);
    path = slash == std::string::npos ? "" : path.substr(slash + 1);
    if (root == "HKCU") return HKEY_CURRENT_USER;
    if (root == "HKLM") return HKEY_LOCAL_MACHINE;
    if (root == "HKCR") return HKEY_CLASSES_ROOT;
    return nullptr;
}

std::string RegSet(std::string key, const std::string& name, const std::string& type, const std::string& hex) {
    const HKEY root = RootOf(key);
    HKEY handle;
    if (!root || RegCreateKeyExW(root, Wide(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr))
        return "{\"error\":\"cannot create key\"}";
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2)
        bytes += static_cast<char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16));
    const DWORD kind = std::strtoul(type.c_str(), nullptr, 10);
    // Names and data as the program reads them: narrow, in the system code page.
    const LONG status = RegSetValueExA(handle, name == "-" ? nullptr : name.c_str(), 0, kind,
                                       reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    RegCloseKey(handle);
    return status == ERROR_SUCCESS ? "{\"ok\":true}" : "{\"error\":\"cannot set value\"}";
}

std::string RegDel(std::string key) {
    const HKEY root = RootOf(key);
    const LONG status = root ? RegDeleteTreeW(root, Wide(key).c_str()) : ERROR_INVALID_PARAMETER;
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) RegDeleteKeyW(root, Wide(key).c_str());
    return "{\"ok\":true}";
}

std::string Run(const std::string& line) {
    // Words are separated by tabs: registry paths hold spaces.
    std::vector<std::string> args;
    std::size_t begin = 0;
    for (std::size_t tab; (tab = line.find('\t', begin)) != std::string::npos; begin = tab + 1)
        args.push_back(line.substr(begin, tab - begin));
    args.push_back(line.substr(begin));
    const std::string command = args.front();
    args.erase(args.begin());
    auto arg = [&](std::size_t i) { return i < args.size() ? args[i] : std::string(); };

    if (command == "main") return Describe(FindTopLevel(L"TFormMain"));
    if (command == "app") return Describe(FindTopLevel(L"TApplication"));
    if (command == "dialogs") return Dialogs();
    if (command == "foreground") return Describe(GetForegroundWindow());
    if (command == "inside") return Inside(ParseHandle(arg(0)));
    if (command == "density") return DensityChange(ParseHandle(arg(0)), std::strtol(arg(1).c_str(), nullptr, 10));
    if (command == "click") return PostMessageW(ParseHandle(arg(0)), BM_CLICK, 0, 0) ? "{\"ok\":true}" : "{\"ok\":false}";
    if (command == "post")
        return PostMessageW(ParseHandle(arg(0)), std::strtoul(arg(1).c_str(), nullptr, 0),
                            std::strtoull(arg(2).c_str(), nullptr, 0), std::strtoll(arg(3).c_str(), nullptr, 0))
                   ? "{\"ok\":true}"
                   : "{\"ok\":false}";
    if (command == "elsewhere") return Elsewhere();
    if (command == "activate") return SetForegroundWindow(ParseHandle(arg(0))) ? "{\"ok\":true}" : "{\"ok\":false}";
    if (command == "regset") return RegSet(arg(0), arg(1), arg(2), arg(3));
    if (command == "regdel") return RegDel(arg(0));
    return "{\"error\":\"unknown command\"}";
}

}  // namespace

int main() {
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "quit") break;
        std::cout << Run(line) << std::endl;
    }
    return 0;
}
