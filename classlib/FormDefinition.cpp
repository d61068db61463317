#include "classlib/FormDefinition.h"

#include <cctype>
#include <cstdlib>
#include <map>
#include <set>
#include <variant>

namespace classlib {

namespace {

struct Identifier {
    std::string name;
};
using Set = std::vector<std::string>;
using Value = std::variant<long, std::string, Identifier, Set>;

// Streams would triple the program's size; splitting is all that is needed.
std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t end = text.find(separator, begin);
        parts.push_back(text.substr(begin, end - begin));
        if (end == std::string::npos) return parts;
        begin = end + 1;
    }
}

[[noreturn]] void Fail(int line, const std::string& what) {
    throw EFormDefinitionError("Form definition, line " + std::to_string(line) + ": " + what);
}

void AppendUtf8(std::string& text, unsigned long code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (code >> 18));
        text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.'; }

// One line's value text: an integer, an identifier, a set, or a string made of
// quoted parts and #codes.
Value ParseValue(const std::string& text, int line) {
    if (text.empty()) Fail(line, "a value is missing");
    const char first = text.front();
    if (first == '[') {
        if (text.back() != ']') Fail(line, "a set must end in ']'");
        Set set;
        const std::string inside = text.substr(1, text.size() - 2);
        if (inside.find_first_not_of(' ') == std::string::npos) return set;
        for (const std::string& item : Split(inside, ',')) {
            const auto begin = item.find_first_not_of(' ');
            if (begin == std::string::npos) Fail(line, "empty item in a set");
            set.push_back(item.substr(begin, item.find_last_not_of(' ') - begin + 1));
        }
        return set;
    }
    if (first == '\'' || first == '#') {
        std::string value;
        std::size_t i = 0;
        while (i < text.size()) {
            if (text[i] == '\'') {
                for (++i;; ++i) {
                    if (i >= text.size()) Fail(line, "a string is not closed");
                    if (text[i] == '\'') {
                        if (i + 1 < text.size() && text[i + 1] == '\'') {
                            value += '\'';
                            ++i;
                        } else {
                            ++i;
                            break;
                        }
                    } else {
                        value += text[i];
                    }
                }
            } else if (text[i] == '#') {
                std::size_t end = ++i;
                while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
                if (end == i || end - i > 7) Fail(line, "'#' must be followed by a character code");
                const unsigned long code = std::stoul(text.substr(i, end - i));
                if (code > 0x10FFFF) Fail(line, "character code out of range");
                AppendUtf8(value, code);
                i = end;
            } else {
                Fail(line, "unexpected text after a string");
            }
        }
        return value;
    }
    if (first == '-' || std::isdigit(static_cast<unsigned char>(first))) {
        char* end = nullptr;
        const long number = std::strtol(text.c_str(), &end, 10);
        if (*end != '\0') Fail(line, "not a number: " + text);
        return number;
    }
    for (char c : text)
        if (!IsNameChar(c)) Fail(line, "not a value: " + text);
    return Identifier{text};
}

struct Property {
    std::string name;
    Value value;
    int line;
};

struct Object {
    std::string name, kind;
    std::vector<Property> properties;
    std::vector<Object> children;
    int line;
};

class Parser {
public:
    explicit Parser(const std::string& text) {
        for (std::string line : Split(text, '\n')) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const auto begin = line.find_first_not_of(" \t");
            lines_.push_back(begin == std::string::npos ? "" : line.substr(begin, line.find_last_not_of(" \t") - begin + 1));
        }
    }

    Object ParseRoot() {
        SkipBlank();
        if (next_ >= lines_.size()) Fail(1, "no object is defined");
        Object root = ParseObject();
        SkipBlank();
        if (next_ < lines_.size()) Fail(LineNumber(), "text after the last 'end'");
        return root;
    }

private:
    int LineNumber() const { return static_cast<int>(next_) + 1; }
    void SkipBlank() {
        while (next_ < lines_.size() && (lines_[next_].empty() || lines_[next_].rfind("//", 0) == 0)) ++next_;
    }

    Object ParseObject() {
        const std::string& header = lines_[next_];
        Object object;
        object.line = LineNumber();
        const auto colon = header.find(':');
        if (header.rfind("object ", 0) != 0 || colon == std::string::npos)
            Fail(object.line, "expected 'object Name: TKind'");
        object.name = Trim(header.substr(7, colon - 7));
        object.kind = Trim(header.substr(colon + 1));
        if (object.name.empty() || object.kind.empty()) Fail(object.line, "expected 'object Name: TKind'");
        ++next_;
        for (;;) {
            SkipBlank();
            if (next_ >= lines_.size()) Fail(object.line, "object " + object.name + " has no 'end'");
            const std::string& line = lines_[next_];
            if (line == "end") {
                ++next_;
                return object;
            }
            if (line.rfind("object ", 0) == 0) {
                object.children.push_back(ParseObject());
                continue;
            }
            const auto equals = line.find('=');
            if (equals == std::string::npos) Fail(LineNumber(), "expected 'Property = value'");
            const std::string name = Trim(line.substr(0, equals));
            for (const auto& p : object.properties)
                if (p.name == name) Fail(LineNumber(), name + " is given twice");
            object.properties.push_back({name, ParseValue(Trim(line.substr(equals + 1)), LineNumber()), LineNumber()});
            ++next_;
        }
    }

    static std::string Trim(const std::string& text) {
        const auto begin = text.find_first_not_of(' ');
        if (begin == std::string::npos) return {};
        return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
    }

    std::vector<std::string> lines_;
    std::size_t next_ = 0;
};

// Typed access to one property's value.
long Integer(const Property& p) {
    if (auto v = std::get_if<long>(&p.value)) return *v;
    Fail(p.line, p.name + " takes a number");
}
std::string String(const Property& p) {
    if (auto v = std::get_if<std::string>(&p.value)) return *v;
    Fail(p.line, p.name + " takes a string");
}
std::string Name(const Property& p) {
    if (auto v = std::get_if<Identifier>(&p.value)) return v->name;
    Fail(p.line, p.name + " takes a name");
}
std::string OneOf(const Property& p, const std::set<std::string>& allowed) {
    const std::string name = Name(p);
    if (!allowed.count(name)) Fail(p.line, p.name + " = " + name + " is not supported");
    return name;
}
bool Bold(const Property& p) {
    auto v = std::get_if<Set>(&p.value);
    if (!v) Fail(p.line, p.name + " takes a set");
    bool bold = false;
    for (const auto& style : *v) {
        if (style != "fsBold") Fail(p.line, "font style " + style + " is not supported");
        bold = true;
    }
    return bold;
}

const std::map<std::string, int> kCharsets = {
    {"ANSI_CHARSET", 0}, {"DEFAULT_CHARSET", 1}, {"SHIFTJIS_CHARSET", 128}};

// Font.* properties; false when the property is not one of them.
bool ReadFontProperty(const Property& p, FontDefinition& font) {
    if (p.name == "Font.Name") font.name = String(p);
    else if (p.name == "Font.Height") font.height = static_cast<int>(Integer(p));
    else if (p.name == "Font.Color") font.color = OneOf(p, {"clWindowText"});
    else if (p.name == "Font.Style") font.bold = Bold(p);
    else if (p.name == "Font.Charset") {
        if (auto v = std::get_if<long>(&p.value)) {
            font.charset = static_cast<int>(*v);
        } else {
            std::set<std::string> names;
            for (const auto& [name, value] : kCharsets) names.insert(name);
            font.charset = kCharsets.at(OneOf(p, names));
        }
    } else return false;
    return true;
}

ControlDefinition ReadControl(const Object& object, const FontDefinition& formFont) {
    if (object.kind != "TLabel" && object.kind != "TButton")
        Fail(object.line, "unknown control kind " + object.kind);
    if (!object.children.empty()) Fail(object.children.front().line, object.kind + " cannot hold controls");
    const bool button = object.kind == "TButton";
    ControlDefinition control;
    control.name = object.name;
    control.kind = object.kind;
    control.line = object.line;
    FontDefinition ownFont = formFont;
    bool parentFont = true, fontSet = false;
    for (const auto& p : object.properties) {
        if (p.name == "Left") control.left = static_cast<int>(Integer(p));
        else if (p.name == "Top") control.top = static_cast<int>(Integer(p));
        else if (p.name == "Width") control.width = static_cast<int>(Integer(p));
        else if (p.name == "Height") control.height = static_cast<int>(Integer(p));
        else if (p.name == "Caption") control.caption = String(p);
        else if (p.name == "ParentFont") parentFont = OneOf(p, {"True", "False"}) == "True";
        else if (ReadFontProperty(p, ownFont)) fontSet = true;
        else if (button && p.name == "TabOrder") control.tabOrder = static_cast<int>(Integer(p));
        else if (button && p.name == "OnClick") control.onClick = Name(p);
        else Fail(p.line, "unknown property " + p.name + " of " + object.kind);
    }
    if (fontSet && parentFont) Fail(object.line, object.name + " sets a font but keeps ParentFont = True");
    control.font = parentFont ? formFont : ownFont;
    return control;
}

}  // namespace

FormDefinition ReadFormDefinition(const std::string& text) {
    const Object root = Parser(text).ParseRoot();
    FormDefinition form;
    form.name = root.name;
    form.className = root.kind;
    for (const auto& p : root.properties) {
        if (p.name == "Caption") form.caption = String(p);
        else if (p.name == "ClientWidth") form.clientWidth = static_cast<int>(Integer(p));
        else if (p.name == "ClientHeight") form.clientHeight = static_cast<int>(Integer(p));
        else if (p.name == "BorderStyle") form.borderStyle = OneOf(p, {"bsDialog"});
        else if (p.name == "Position") form.position = OneOf(p, {"poScreenCenter"});
        else if (p.name == "Color") form.color = OneOf(p, {"clBtnFace"});
        else if (p.name == "PixelsPerInch") form.pixelsPerInch = static_cast<int>(Integer(p));
        else if (p.name == "TextHeight") form.textHeight = static_cast<int>(Integer(p));
        else if (!ReadFontProperty(p, form.font)) Fail(p.line, "unknown property " + p.name + " of a form");
    }
    if (form.pixelsPerInch <= 0) Fail(root.line, "PixelsPerInch must be positive");
    std::set<std::string> names;
    for (const auto& child : root.children) {
        form.controls.push_back(ReadControl(child, form.font));
        if (!names.insert(child.name).second) Fail(child.line, child.name + " is declared twice");
    }
    return form;
}

}  // namespace classlib
