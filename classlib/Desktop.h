#pragma once
// The desktop services the program's logic uses: the shell's open request, message
// boxes and the termination request. Behind an interface so the logic is tested
// with a fake; the Win32 implementation is Win32Desktop in classlib/win32/Win32System.
#include <cstdint>
#include <string>

namespace classlib {

using WindowHandle = void*;  // HWND

inline constexpr int kSwHide = 0;
inline constexpr std::uint32_t kMbOk = 0x0;
inline constexpr std::uint32_t kMbIconError = 0x10;
inline constexpr std::uint32_t kMbIconInformation = 0x40;

class Desktop {
public:
    virtual ~Desktop() = default;
    // ShellExecuteA: narrow texts in the system code page; null for "none". The
    // result is the shell's: above 32 on success.
    virtual std::intptr_t OpenWithShell(WindowHandle owner, const char* verb, const char* file,
                                       const char* parameters, const char* directory, int showCommand) = 0;
    // A modal message box owned by `owner`. Texts are UTF-8 and shown as Unicode
    // whatever the system code page.
    virtual void ShowMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                            std::uint32_t style) = 0;
    // Posts the quit request with the given code and returns at once.
    virtual void PostQuit(int exitCode) = 0;
};

// The information dialog: caption "情報", information icon, one OK button that is
// both default and cancel.
void ShowInformation(Desktop& desktop, WindowHandle owner, const std::string& text);

}  // namespace classlib
