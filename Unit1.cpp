#include "Unit1.h"

#include "classlib/win32/Win32System.h"
#include "launch/ConnectAction.h"

TFormMain* FormMain = nullptr;

void TFormMain::DeclareMembers() {
    Bind("Label1", Label1);
    Bind("Label2", Label2);
    Bind("ButtonCnect", ButtonCnect);
    Bind("Label3", Label3);
    Bind("ButtonClose", ButtonClose);
    Handler("ButtonCloseClick", [this](classlib::TObject* sender) { ButtonCloseClick(sender); });
    Handler("ButtonCnectClick", [this](classlib::TObject* sender) { ButtonCnectClick(sender); });
}

void TFormMain::ButtonCloseClick(classlib::TObject*) { classlib::Application->Terminate(); }

void TFormMain::ButtonCnectClick(classlib::TObject*) {
    // A second click let through by a message loop inside the first (the shell's)
    // must not check again and open the page twice.
    if (connecting_) return;
    connecting_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{connecting_};

    classlib::win32::Win32Registry registry;
    classlib::win32::Win32FileFinder files;
    classlib::win32::Win32Desktop desktop;
    launch::LaunchPlatform platform{registry, files, desktop};
    launch::RunConnectAction(platform, Handle());
}
