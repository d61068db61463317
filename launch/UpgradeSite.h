#pragma once
// The fixed values of the Connect action.
#include <cstdint>

#include "classlib/Registry.h"

#ifndef VELKARN_UPGRADE_HOST
#error "VELKARN_UPGRADE_HOST is set by the build (CMake cache variable of the same name)"
#endif

namespace launch {

inline constexpr classlib::RegKey kProductRoot = classlib::kHKeyCurrentUser;
inline constexpr const char* kProductKey = "Software\\Velkarn\\";
inline constexpr const char* kInstallPathValue = "InstallPath";
inline constexpr const char* kProgramFileName = "Velkarn.exe";

inline constexpr const char* kUpgradeAddress = "http://" VELKARN_UPGRADE_HOST "/tq38mv6kze/UPGRADE/";
inline constexpr const char* kShellVerb = "open";
// SW_HIDE, not SW_SHOWNORMAL, as the tool has always asked; a browser that the shell
// starts afresh may honour it.
inline constexpr int kShellShowCommand = 0;

inline constexpr const char* kApplicationTitle = "VelkarnVupTool";

// Lines are joined by a bare carriage return.
inline constexpr const char* kNotInstalledMessage =
    "製品版Velkarn解析ソフトがインストールされていることを\r"
    "確認できませんでした。";
inline constexpr const char* kCannotOpenSiteMessage =
    "バージョンアップのためのサイトを開けませんでした。\r"
    "Webブラウザーで次のアドレスを開いてください。\r"
    "http://" VELKARN_UPGRADE_HOST "/tq38mv6kze/UPGRADE/";

}  // namespace launch
