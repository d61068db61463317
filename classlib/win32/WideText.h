#pragma once
// UTF-8 inside the program, UTF-16 at each wide Windows call.
#include <string>

namespace classlib::win32 {

std::wstring Widen(const std::string& utf8);

}  // namespace classlib::win32
