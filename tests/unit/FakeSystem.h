#pragma once
// One fake of the registry, the file search and the desktop, sharing a log so that
// tests can check the order in which the system was used.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "classlib/Desktop.h"
#include "classlib/FileTest.h"
#include "classlib/Registry.h"

namespace fakes {

inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorMoreData = 234;

struct RegValue {
    std::uint32_t type;
    std::string data;  // raw bytes, as stored
};

inline RegValue Sz(const std::string& text) { return {classlib::kRegSz, text + '\0'}; }

struct RegKeyState {
    std::uint32_t grantedAccess = classlib::kKeyRead | 0xF003F;  // all that a user has on own keys
    std::map<std::string, RegValue> values;
    bool dataReadFails = false;
};

class FakeSystem : public classlib::RegistryApi, public classlib::FileFinder, public classlib::Desktop {
public:
    // Registry: keys by root and path, case-insensitive, trailing backslash ignored.
    RegKeyState& Key(classlib::RegKey root, const std::string& path) { return keys[KeyName(root, path)]; }

    long OpenKey(classlib::RegKey parent, const char* subKey, std::uint32_t access,
                 classlib::RegKey* result) override {
        *result = 0;
        const std::string name = KeyName(parent, subKey);
        const auto key = keys.find(name);
        const bool granted = key != keys.end() && (access & ~key->second.grantedAccess) == 0;
        log.push_back("open " + std::string(subKey) + " " + Hex(access) + (granted ? " granted" : " refused"));
        if (key == keys.end()) return kErrorFileNotFound;
        if (!granted) return kErrorAccessDenied;
        *result = nextHandle++;
        openHandles[*result] = name;
        return classlib::kErrorSuccess;
    }

    long QueryValue(classlib::RegKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override {
        log.push_back(std::string(data ? "read " : "query ") + name);
        const auto handle = openHandles.find(key);
        if (handle == openHandles.end()) return kErrorInvalidHandle;
        RegKeyState& state = keys[handle->second];
        const auto value = state.values.find(name);
        if (value == state.values.end()) return kErrorFileNotFound;
        *type = value->second.type;
        const auto& bytes = value->second.data;
        if (data == nullptr) {
            *size = static_cast<std::uint32_t>(bytes.size());
            return classlib::kErrorSuccess;
        }
        if (state.dataReadFails) return kErrorAccessDenied;
        if (*size < bytes.size()) {
            *size = static_cast<std::uint32_t>(bytes.size());
            return kErrorMoreData;
        }
        std::memcpy(data, bytes.data(), bytes.size());
        *size = static_cast<std::uint32_t>(bytes.size());
        return classlib::kErrorSuccess;
    }

    long CloseKey(classlib::RegKey key) override {
        log.push_back("close");
        return openHandles.erase(key) ? classlib::kErrorSuccess : kErrorInvalidHandle;
    }

    // File search: answers patterns as FindFirstFileA does, with '*' and '?' as
    // wildcards in the last component.
    std::optional<std::uint32_t> FindFirst(const std::string& pattern) override {
        log.push_back("find " + pattern);
        const std::size_t cut = pattern.rfind('\\') + 1;
        for (const auto& [path, attributes] : entries)
            if (path.compare(0, cut, pattern, 0, cut) == 0 && path.find('\\', cut) == std::string::npos &&
                Matches(pattern.c_str() + cut, path.c_str() + cut))
                return attributes;
        return std::nullopt;
    }
    void AddFile(const std::string& path) { entries[path] = 0x20; }
    void AddFolder(const std::string& path) { entries[path] = classlib::kFileAttributeDirectory; }

    // Desktop
    struct ShellCall {
        classlib::WindowHandle owner;
        std::string verb, file;
        bool hasParameters, hasDirectory;
        int showCommand;
    };
    struct Box {
        classlib::WindowHandle owner;
        std::string text, caption;
        std::uint32_t style;
    };

    std::intptr_t OpenWithShell(classlib::WindowHandle owner, const char* verb, const char* file,
                                const char* parameters, const char* directory, int showCommand) override {
        log.push_back("shell");
        shellCalls.push_back({owner, verb, file, parameters != nullptr, directory != nullptr, showCommand});
        return shellResult;
    }
    void ShowMessageBox(classlib::WindowHandle owner, const std::string& text, const std::string& caption,
                        std::uint32_t style) override {
        log.push_back("box " + caption);
        boxes.push_back({owner, text, caption, style});
    }
    void PostQuit(int exitCode) override {
        log.push_back("quit " + std::to_string(exitCode));
    }

    std::map<std::string, RegKeyState> keys;
    std::map<classlib::RegKey, std::string> openHandles;
    std::map<std::string, std::uint32_t> entries;
    std::intptr_t shellResult = 42;
    std::vector<ShellCall> shellCalls;
    std::vector<Box> boxes;
    std::vector<std::string> log;

private:
    std::string KeyName(classlib::RegKey parent, std::string path) {
        const auto handle = openHandles.find(parent);
        std::string name = handle != openHandles.end() ? handle->second + "\\" : Hex(parent) + "\\";
        while (!path.empty() && path.back() == '\\') path.pop_back();
        name += path;
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        return name;
    }
    static std::string Hex(std::uintptr_t n) {
        char text[20];
        std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(n));
        return text;
    }
    static bool Matches(const char* pattern, const char* text) {
        if (*pattern == '\0') return *text == '\0';
        if (*pattern == '*') return Matches(pattern + 1, text) || (*text != '\0' && Matches(pattern, text + 1));
        if (*text == '\0') return false;
        return (*pattern == '?' || *pattern == *text) && Matches(pattern + 1, text + 1);
    }
    classlib::RegKey nextHandle = 0x1000;
};

}  // namespace fakes
