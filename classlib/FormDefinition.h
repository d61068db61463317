#pragma once
// Form definitions: the text that declares a window and its controls with their
// property values, as in
//
//   object FormMain: TFormMain
//     Caption = 'Title'
//     Font.Style = [fsBold]
//     object Label1: TLabel
//       Left = 16
//     end
//   end
//
// Strings are UTF-8 between single quotes ('' for a quote); #13 and the like add a
// character by its code. The reader turns the text into a FormDefinition and rejects any
// object kind, property or value it does not know, naming the line.
#include <string>
#include <vector>

#include "classlib/Exception.h"

namespace classlib {

class EFormDefinitionError : public Exception {
public:
    using Exception::Exception;
};

struct FontDefinition {
    std::string name;
    int height = 0;          // as in LOGFONT: negative for the character height
    int charset = 1;         // DEFAULT_CHARSET
    std::string color = "clWindowText";
    bool bold = false;
};

struct ControlDefinition {
    std::string name;
    std::string kind;        // TLabel or TButton
    int left = 0, top = 0, width = 0, height = 0;
    std::string caption;
    FontDefinition font;           // the form's font unless the control sets its own
    int tabOrder = -1;       // -1: not a tab stop
    std::string onClick;     // handler name, or empty
    int line = 0;
};

struct FormDefinition {
    std::string name;
    std::string className;
    std::string caption;
    int clientWidth = 0, clientHeight = 0;
    std::string borderStyle = "bsSizeable";
    std::string position = "poDesigned";
    std::string color = "clBtnFace";
    FontDefinition font;
    int pixelsPerInch = 96;  // the density the measures are given at
    int textHeight = 0;
    std::vector<ControlDefinition> controls;  // in declaration order
};

FormDefinition ReadFormDefinition(const std::string& text);

}  // namespace classlib
