#include "launch/ConnectAction.h"

#include <string>

#include "launch/UpgradeSite.h"

namespace launch {

namespace {
std::string ReadInstallPath(classlib::RegistryApi& api) {
    classlib::TRegistry registry(api, classlib::kKeyRead);
    registry.SetRootKey(kProductRoot);
    if (!registry.OpenKeyReadOnly(kProductKey)) return {};
    std::string path = registry.ReadString(kInstallPathValue);
    registry.CloseKey();
    return path;
}  // the accessor is released here, also when ReadString throws
}  // namespace

void RunConnectAction(LaunchPlatform& platform, classlib::WindowHandle owner) {
    // 1. The install folder, from the per-user registry value.
    const std::string installPath = ReadInstallPath(platform.registry);
    if (installPath.empty()) {
        classlib::ShowInformation(platform.desktop, owner, kNotInstalledMessage);
        return;
    }

    // 2. The product's program file in that folder. The value is expected to end in
    //    a backslash; nothing is inserted, trimmed or expanded.
    if (!classlib::FileExists(platform.files, installPath + kProgramFileName)) {
        classlib::ShowInformation(platform.desktop, owner, kNotInstalledMessage);
        return;
    }

    // 3. The upgrade page. When the shell cannot open it, the window stays and the
    //    user is given the address to open by hand instead of a silent exit.
    const std::intptr_t result = platform.desktop.OpenWithShell(owner, kShellVerb, kUpgradeAddress, nullptr,
                                                                nullptr, kShellShowCommand);
    if (result <= 32) {
        platform.desktop.ShowMessageBox(owner, kCannotOpenSiteMessage, kApplicationTitle,
                                        classlib::kMbOk | classlib::kMbIconError);
        return;
    }

    // 4. End the application; the message loop stops at the quit request.
    platform.desktop.PostQuit(0);
}

}  // namespace launch
