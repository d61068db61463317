#include "classlib/Exception.h"

namespace classlib {

std::string FormatText(const std::string& pattern, const std::string& argument) {
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
            text += argument;
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

std::string ErrorReportText(const std::string& message) {
    // In UTF-8 every byte of a character beyond ASCII is above '.', so the last
    // byte decides for the last character.
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
    return message;
}

}  // namespace classlib
