// The program entry. The command line is not read.
#include <windows.h>

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
