// The program entry. The command line is not read.
#include <windows.h>

#include <cstdlib>

#include "Unit1.h"
#include "launch/UpgradeSite.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using classlib::Application;
    try {
        Application->Initialize();
        Application->SetTitle(launch::kApplicationTitle);
        Application->CreateForm(FormMain);
        return Application->Run();
    } catch (const std::exception& error) {  // a form that cannot be made: say why
        Application->ShowException(error);
        return 1;
    }
}

// Every exception is caught in WinMain or in a window procedure, so the runtime's
// terminate handler never has anything to explain; the default one would pull the
// C++ name demangler into the program (about 75 KB).
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
