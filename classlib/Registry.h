#pragma once
// Read access to the Windows registry: the accessor (TRegistry) and the three
// registry calls it is built on, behind an interface so that the accessor's own
// logic runs against a fake as well as against advapi32.
#include <cstdint>
#include <string>

#include "classlib/Exception.h"

namespace classlib {

// Handles, rights, types and results carry the numbers Windows gives them, so this
// header needs no <windows.h>.
using RegKey = std::uintptr_t;  // HKEY
inline constexpr RegKey kHKeyCurrentUser = 0x80000001u;
inline constexpr RegKey kHKeyLocalMachine = 0x80000002u;

inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kStandardRightsRead = 0x20000;
inline constexpr std::uint32_t kKeyRead = 0x20019;

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorMoreData = 234;

// RegOpenKeyExA, RegQueryValueExA and RegCloseKey, with their meanings.
class RegistryApi {
public:
    virtual ~RegistryApi() = default;
    virtual long OpenKey(RegKey parent, const char* subKey, std::uint32_t access, RegKey* result) = 0;
    // data may be null to ask only for type and size; *size is in and out.
    virtual long QueryValue(RegKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* size) = 0;
    virtual long CloseKey(RegKey key) = 0;
};

class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

class TRegistry {
public:
    // The root starts as HKEY_CURRENT_USER.
    explicit TRegistry(RegistryApi& api, std::uint32_t access = kKeyRead);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    RegKey RootKey() const { return root_; }
    void SetRootKey(RegKey root);  // closes the open key
    // The rights asked for at creation; after a key is opened, those it opened with.
    std::uint32_t Access() const { return access_; }
    bool HasCurrentKey() const { return current_ != 0; }

    // Opens `key` (relative to the open key, or to the root when none is open or
    // the name starts with a backslash), asking for less and less access until one
    // request is granted. False when none is.
    bool OpenKeyReadOnly(const std::string& key);

    // The string value `name` of the open key, in the system code page and cut at
    // its first NUL. Empty when the value does not exist or has no data.
    // Throws ERegistryException when the data cannot be read or is not a string.
    std::string ReadString(const std::string& name);

    void CloseKey();

private:
    RegistryApi& api_;
    RegKey root_ = kHKeyCurrentUser;
    RegKey current_ = 0;
    std::uint32_t access_;
};

}  // namespace classlib
