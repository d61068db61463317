#pragma once
// The file test: does a file (not a folder) exist at a path?
#include <cstdint>
#include <optional>
#include <string>

namespace classlib {

inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;

// FindFirstFileA followed by FindClose: the attributes of the first entry that
// matches `pattern`, or nothing when none does.
class FileFinder {
public:
    virtual ~FileFinder() = default;
    virtual std::optional<std::uint32_t> FindFirst(const std::string& pattern) = 0;
};

// True when an entry exists at exactly `path` and is not a folder. The file search
// reads '*' and '?', and also '<', '>' and '"', as wildcards, so a path holding any
// of them never names one file and is answered false without searching. (None of
// these bytes occurs inside a double-byte character of code page 932.)
bool FileExists(FileFinder& finder, const std::string& path);

}  // namespace classlib
