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
    classlib::win32::Win32Registry registry;
    classlib::win32::Win32FileFinder files;
    classlib::win32::Win32Desktop desktop;
    launch::LaunchPlatform platform{registry, files, desktop};
    launch::RunConnectAction(platform, Handle());
}
