#pragma once
// Errors the class library raises. Messages are UTF-8; they are converted to
// UTF-16 only where they are shown.
#include <stdexcept>
#include <string>

namespace classlib {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// "'%s' ..." style messages: every %s is replaced by the argument.
std::string FormatText(const std::string& pattern, const std::string& argument);

// The text of the application-wide error report: the message, with a full stop
// added when its last character sorts above ".".
std::string ErrorReportText(const std::string& message);

}  // namespace classlib
