#pragma once
// The Connect action: confirm that the product is installed for this Windows user,
// then have the shell open the upgrade page and end the application, or explain in
// a message box why not.
#include "classlib/Desktop.h"
#include "classlib/FileTest.h"
#include "classlib/Registry.h"

namespace launch {

// The system as the action sees it. The main window passes the real one.
struct LaunchPlatform {
    classlib::RegistryApi& registry;
    classlib::FileFinder& files;
    classlib::Desktop& desktop;
};

// Returns after the information or error message was dismissed, or after the page
// was handed to the shell and the quit request posted. A registry value of the
// wrong type, or one that cannot be read, leaves as classlib::ERegistryException.
void RunConnectAction(LaunchPlatform& platform, classlib::WindowHandle owner);

}  // namespace launch
