// The Connect action over registry, file-system and shell states.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "launch/ConnectAction.h"
#include "tests/unit/FakeSystem.h"

using classlib::kHKeyCurrentUser;
using fakes::FakeSystem;
using fakes::RegValue;
using std::string_literals::operator""s;

namespace {

const std::string kAddress = "http://" VELKARN_UPGRADE_HOST "/tq38mv6kze/UPGRADE/";
const std::string kNotInstalled = "製品版Velkarn解析ソフトがインストールされていることを\r確認できませんでした。";
constexpr const char* kProductKey = "Software\\Velkarn\\";
const auto kOwner = reinterpret_cast<classlib::WindowHandle>(0x1234);

enum class Outcome { Launched, NotInstalled, CannotOpenSite, RegistryError };

struct Case {
    const char* name;
    std::function<void(FakeSystem&)> arrange;
    Outcome outcome;
    std::string detail;  // the path searched for, or the exception's text
};

void InstallPath(FakeSystem& system, RegValue value) {
    system.Key(kHKeyCurrentUser, kProductKey).values["InstallPath"] = std::move(value);
}

void Installed(FakeSystem& system) {
    InstallPath(system, fakes::Sz("C:\\Velkarn\\"));
    system.AddFile("C:\\Velkarn\\Velkarn.exe");
}

std::function<void(FakeSystem&)> InstalledWithShellAnswering(std::intptr_t result) {
    return [result](FakeSystem& system) {
        Installed(system);
        system.shellResult = result;
    };
}

std::ptrdiff_t FirstIndex(const std::vector<std::string>& log, const std::string& prefix) {
    const auto found = std::find_if(log.begin(), log.end(), [&](const auto& e) { return e.rfind(prefix, 0) == 0; });
    return found - log.begin();
}

class ConnectActionTest : public ::testing::TestWithParam<Case> {};

TEST_P(ConnectActionTest, EndsInOneWay) {
    const Case& c = GetParam();
    FakeSystem system;
    c.arrange(system);
    launch::LaunchPlatform platform{system, system, system};

    std::string error;
    try {
        launch::RunConnectAction(platform, kOwner);
    } catch (const classlib::ERegistryException& e) {
        error = e.Message();
    }

    // The accessor is released before anything is shown and before an error leaves.
    EXPECT_TRUE(system.openHandles.empty());
    const bool opened = std::any_of(system.log.begin(), system.log.end(),
                                    [](const auto& e) { return e.find(" granted") != std::string::npos; });
    if (opened) {
        EXPECT_LT(FirstIndex(system.log, "close"), FirstIndex(system.log, "box"));
        EXPECT_LT(FirstIndex(system.log, "close"), FirstIndex(system.log, "shell"));
    }

    const bool quit = !system.log.empty() && system.log.back() == "quit 0";
    switch (c.outcome) {
    case Outcome::Launched:
        ASSERT_EQ(system.shellCalls.size(), 1u);
        EXPECT_EQ(system.shellCalls[0].owner, kOwner);
        EXPECT_EQ(system.shellCalls[0].verb, "open");
        EXPECT_EQ(system.shellCalls[0].file, kAddress);
        EXPECT_FALSE(system.shellCalls[0].hasParameters);
        EXPECT_FALSE(system.shellCalls[0].hasDirectory);
        EXPECT_EQ(system.shellCalls[0].showCommand, 0);
        EXPECT_TRUE(quit);
        EXPECT_TRUE(system.boxes.empty());
        break;
    case Outcome::NotInstalled:
        ASSERT_EQ(system.boxes.size(), 1u);
        EXPECT_EQ(system.boxes[0].owner, kOwner);
        EXPECT_EQ(system.boxes[0].caption, "情報");
        EXPECT_EQ(system.boxes[0].text, kNotInstalled);
        EXPECT_EQ(system.boxes[0].style, classlib::kMbOk | classlib::kMbIconInformation);
        EXPECT_TRUE(system.shellCalls.empty());
        EXPECT_FALSE(quit);
        break;
    case Outcome::CannotOpenSite:
        ASSERT_EQ(system.boxes.size(), 1u);
        EXPECT_EQ(system.boxes[0].owner, kOwner);
        EXPECT_EQ(system.boxes[0].caption, "VelkarnVupTool");
        EXPECT_EQ(system.boxes[0].text, "バージョンアップのためのサイトを開けませんでした。\r"
                                        "Webブラウザーで次のアドレスを開いてください。\r" +
                                            kAddress);
        EXPECT_EQ(system.boxes[0].style, classlib::kMbOk | classlib::kMbIconError);
        EXPECT_EQ(system.shellCalls.size(), 1u);
        EXPECT_FALSE(quit);
        break;
    case Outcome::RegistryError:
        EXPECT_EQ(error, c.detail);
        EXPECT_TRUE(system.boxes.empty());
        EXPECT_TRUE(system.shellCalls.empty());
        EXPECT_FALSE(quit);
        break;
    }
    if (c.outcome != Outcome::RegistryError) {
        EXPECT_EQ(error, "");
        if (!c.detail.empty()) {
            ASSERT_LT(FirstIndex(system.log, "find"), static_cast<std::ptrdiff_t>(system.log.size()));
            EXPECT_EQ(system.log[FirstIndex(system.log, "find")], "find " + c.detail);
        }
    }
}

constexpr const char* kWrongType = "'InstallPath' のデータ型が不正です";

INSTANTIATE_TEST_SUITE_P(
    States, ConnectActionTest,
    ::testing::Values(
        Case{"installed", Installed, Outcome::Launched, "C:\\Velkarn\\Velkarn.exe"},
        Case{"keyAbsent", [](FakeSystem&) {}, Outcome::NotInstalled, ""},
        Case{"keyRefusedAtEveryLevel",
             [](FakeSystem& s) {
                 Installed(s);
                 s.Key(kHKeyCurrentUser, kProductKey).grantedAccess = 0;
             },
             Outcome::NotInstalled, ""},
        Case{"keyOpensOnlyForQuery",
             [](FakeSystem& s) {
                 Installed(s);
                 s.Key(kHKeyCurrentUser, kProductKey).grantedAccess = classlib::kKeyQueryValue;
             },
             Outcome::Launched, "C:\\Velkarn\\Velkarn.exe"},
        Case{"onlyUnderLocalMachine",
             [](FakeSystem& s) {
                 s.Key(classlib::kHKeyLocalMachine, kProductKey).values["InstallPath"] = fakes::Sz("C:\\Velkarn\\");
                 s.AddFile("C:\\Velkarn\\Velkarn.exe");
             },
             Outcome::NotInstalled, ""},
        Case{"valueAbsent", [](FakeSystem& s) { s.Key(kHKeyCurrentUser, kProductKey); }, Outcome::NotInstalled, ""},
        Case{"valueEmpty", [](FakeSystem& s) { InstallPath(s, fakes::Sz("")); }, Outcome::NotInstalled, ""},
        Case{"valueNulFirst",
             [](FakeSystem& s) {
                 InstallPath(s, {classlib::kRegSz, "\0C:\\Velkarn\\\0"s});
                 s.AddFile("C:\\Velkarn\\Velkarn.exe");
             },
             Outcome::NotInstalled, ""},
        Case{"textAfterNulIgnored",
             [](FakeSystem& s) {
                 Installed(s);
                 InstallPath(s, {classlib::kRegSz, "C:\\Velkarn\\\0D:\\Other\\\0"s});
             },
             Outcome::Launched, "C:\\Velkarn\\Velkarn.exe"},
        Case{"fileMissing", [](FakeSystem& s) { InstallPath(s, fakes::Sz("C:\\Velkarn\\")); },
             Outcome::NotInstalled, "C:\\Velkarn\\Velkarn.exe"},
        Case{"folderInsteadOfFile",
             [](FakeSystem& s) {
                 InstallPath(s, fakes::Sz("C:\\Velkarn\\"));
                 s.AddFolder("C:\\Velkarn\\Velkarn.exe");
             },
             Outcome::NotInstalled, "C:\\Velkarn\\Velkarn.exe"},
        Case{"noTrailingBackslash",
             [](FakeSystem& s) {
                 InstallPath(s, fakes::Sz("C:\\Tools"));
                 s.AddFile("C:\\Tools\\Velkarn.exe");
             },
             Outcome::NotInstalled, "C:\\ToolsVelkarn.exe"},
        Case{"noTrailingBackslashButSuchAFile",
             [](FakeSystem& s) {
                 InstallPath(s, fakes::Sz("C:\\Tools"));
                 s.AddFile("C:\\ToolsVelkarn.exe");
             },
             Outcome::Launched, "C:\\ToolsVelkarn.exe"},
        Case{"expandableKeptAsStored",
             [](FakeSystem& s) {
                 InstallPath(s, {classlib::kRegExpandSz, "%ProgramFiles%\\Velkarn\\\0"s});
                 s.AddFile("C:\\Program Files\\Velkarn\\Velkarn.exe");
             },
             Outcome::NotInstalled, "%ProgramFiles%\\Velkarn\\Velkarn.exe"},
        Case{"wildcardInPath",
             [](FakeSystem& s) {
                 InstallPath(s, fakes::Sz("C:\\Velkarn\\*"));
                 s.AddFile("C:\\Velkarn\\OldVelkarn.exe");
             },
             Outcome::NotInstalled, ""},
        Case{"dword", [](FakeSystem& s) { InstallPath(s, {classlib::kRegDword, "\x01\0\0\0"s}); },
             Outcome::RegistryError, kWrongType},
        Case{"binary", [](FakeSystem& s) { InstallPath(s, {classlib::kRegBinary, "C:\\Velkarn\\\0"s}); },
             Outcome::RegistryError, kWrongType},
        Case{"multiString", [](FakeSystem& s) { InstallPath(s, {classlib::kRegMultiSz, "C:\\Velkarn\\\0\0"s}); },
             Outcome::RegistryError, kWrongType},
        Case{"unreadable",
             [](FakeSystem& s) {
                 Installed(s);
                 s.Key(kHKeyCurrentUser, kProductKey).dataReadFails = true;
             },
             Outcome::RegistryError, "'InstallPath' の取得に失敗しました"},
        Case{"noProgramForWebAddresses", InstalledWithShellAnswering(31 /* SE_ERR_NOASSOC */), Outcome::CannotOpenSite,
             ""},
        Case{"shellResultAtTheLimit", InstalledWithShellAnswering(32), Outcome::CannotOpenSite, ""},
        Case{"shellOutOfMemory", InstalledWithShellAnswering(0), Outcome::CannotOpenSite, ""},
        Case{"shellJustAboveTheLimit", InstalledWithShellAnswering(33), Outcome::Launched, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConnectAction, AddressIsPlainHttpWithTheUpgradePath) {
    EXPECT_EQ(kAddress.rfind("http://", 0), 0u);
    EXPECT_EQ(kAddress.find_first_of("?#"), std::string::npos);
    EXPECT_EQ(kAddress.substr(kAddress.size() - 20), "/tq38mv6kze/UPGRADE/");
}

TEST(ConnectAction, EachPressReadsAfresh) {
    FakeSystem system;
    launch::LaunchPlatform platform{system, system, system};
    InstallPath(system, fakes::Sz("C:\\Velkarn"));
    system.AddFile("C:\\Velkarn\\Velkarn.exe");

    launch::RunConnectAction(platform, kOwner);
    EXPECT_EQ(system.boxes.size(), 1u);
    EXPECT_TRUE(system.shellCalls.empty());

    InstallPath(system, fakes::Sz("C:\\Velkarn\\"));
    launch::RunConnectAction(platform, kOwner);
    EXPECT_EQ(system.boxes.size(), 1u);
    EXPECT_EQ(system.shellCalls.size(), 1u);
    EXPECT_EQ(system.log.back(), "quit 0");
}

}  // namespace
