#include "classlib/Registry.h"

#include <vector>

namespace classlib {

namespace {
constexpr const char* kReadFailed = "'%s' の取得に失敗しました";
constexpr const char* kWrongType = "'%s' のデータ型が不正です";

// What OpenKeyReadOnly asks for, most first: some keys grant only part of KEY_READ.
constexpr std::uint32_t kReadOnlyRequests[] = {
    kKeyRead,
    kStandardRightsRead | kKeyQueryValue | kKeyEnumerateSubKeys,
    kKeyQueryValue,
};
}  // namespace

TRegistry::TRegistry(RegistryApi& api, std::uint32_t access) : api_(api), access_(access) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(RegKey root) {
    CloseKey();
    root_ = root;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
    const bool absolute = !key.empty() && key.front() == '\\';
    const std::string path = absolute ? key.substr(1) : key;
    const RegKey parent = (absolute || current_ == 0) ? root_ : current_;
    for (std::uint32_t request : kReadOnlyRequests) {
        RegKey opened = 0;
        if (api_.OpenKey(parent, path.c_str(), request, &opened) == kErrorSuccess) {
            CloseKey();
            current_ = opened;
            access_ = request;
            return true;
        }
    }
    return false;
}

std::string TRegistry::ReadString(const std::string& name) {
    if (current_ == 0) return {};
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (api_.QueryValue(current_, name.c_str(), &type, nullptr, &size) != kErrorSuccess || size == 0)
        return {};

    // The value may grow between asking its size and reading it; then the read says
    // how large it has become, and is tried again.
    std::vector<std::uint8_t> data;
    long status = kErrorMoreData;
    for (int attempt = 0; attempt < 3 && status == kErrorMoreData; ++attempt) {
        data.assign(size, 0);
        status = api_.QueryValue(current_, name.c_str(), &type, data.data(), &size);
    }
    if (status != kErrorSuccess) throw ERegistryException(FormatText(kReadFailed, name));
    if (type != kRegSz && type != kRegExpandSz) throw ERegistryException(FormatText(kWrongType, name));

    // The data need not end in a NUL, and the value may have shrunk since the size
    // was asked: take only bytes that were written, up to the first NUL.
    if (size > data.size()) size = static_cast<std::uint32_t>(data.size());
    std::string text(data.begin(), data.begin() + size);
    return text.substr(0, text.find('\0'));
}

void TRegistry::CloseKey() {
    if (current_ == 0) return;
    api_.CloseKey(current_);
    current_ = 0;
}

}  // namespace classlib
