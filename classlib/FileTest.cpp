#include "classlib/FileTest.h"

namespace classlib {

bool FileExists(FileFinder& finder, const std::string& path) {
    if (path.empty() || path.find_first_of("*?<>\"") != std::string::npos) return false;
    const auto attributes = finder.FindFirst(path);
    return attributes && (*attributes & kFileAttributeDirectory) == 0;
}

}  // namespace classlib
