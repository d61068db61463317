#pragma once
// The class library's system interfaces over advapi32, kernel32, shell32 and user32.
#include "classlib/Desktop.h"
#include "classlib/FileTest.h"
#include "classlib/Registry.h"

namespace classlib::win32 {

class Win32Registry final : public RegistryApi {
public:
    long OpenKey(RegKey parent, const char* subKey, std::uint32_t access, RegKey* result) override;
    long QueryValue(RegKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override;
    long CloseKey(RegKey key) override;
};

class Win32FileFinder final : public FileFinder {
public:
    std::optional<std::uint32_t> FindFirst(const std::string& pattern) override;
};

class Win32Desktop final : public Desktop {
public:
    std::intptr_t OpenWithShell(WindowHandle owner, const char* verb, const char* file, const char* parameters,
                                const char* directory, int showCommand) override;
    void ShowMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                        std::uint32_t style) override;
    void PostQuit(int exitCode) override;
};

}  // namespace classlib::win32
