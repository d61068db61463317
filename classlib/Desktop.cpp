#include "classlib/Desktop.h"

namespace classlib {

void ShowInformation(Desktop& desktop, WindowHandle owner, const std::string& text) {
    desktop.ShowMessageBox(owner, text, "情報", kMbOk | kMbIconInformation);
}

}  // namespace classlib
