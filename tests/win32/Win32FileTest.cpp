// The file test over FindFirstFileA, against files this test makes in a folder of
// its own under the temporary folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "classlib/FileTest.h"
#include "classlib/win32/Win32System.h"

namespace {

class Win32FileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
        root_ = std::string(temp) + "VelkarnVupToolTest" + std::to_string(GetCurrentProcessId()) + "\\";
        ASSERT_TRUE(CreateDirectoryA(root_.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA((root_ + "Installed").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA((root_ + "Folder").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA((root_ + "Folder\\Velkarn.exe").c_str(), nullptr));
        MakeFile(root_ + "Installed\\Velkarn.exe");
        MakeFile(root_ + "Installed\\OldVelkarn.exe");
    }
    void TearDown() override {
        DeleteFileA((root_ + "Installed\\Velkarn.exe").c_str());
        DeleteFileA((root_ + "Installed\\OldVelkarn.exe").c_str());
        RemoveDirectoryA((root_ + "Installed").c_str());
        RemoveDirectoryA((root_ + "Folder\\Velkarn.exe").c_str());
        RemoveDirectoryA((root_ + "Folder").c_str());
        RemoveDirectoryA(root_.c_str());
    }
    static void MakeFile(const std::string& path) {
        const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
        CloseHandle(file);
    }

    classlib::win32::Win32FileFinder finder_;
    std::string root_;
};

TEST_F(Win32FileTest, FindsOnlyTheNamedFile) {
    const struct {
        std::string path;
        bool exists;
    } cases[] = {
        {root_ + "Installed\\Velkarn.exe", true},
        {root_ + "INSTALLED\\velkarn.EXE", true},  // Windows names ignore case
        {root_ + "Folder\\Velkarn.exe", false},
        {root_ + "Missing\\Velkarn.exe", false},
        {root_ + "InstalledVelkarn.exe", false},
        {root_ + "Installed\\*Velkarn.exe", false},
        {root_ + "Installed\\Velkarn.ex?", false},
        {root_ + "Installed\\<elkarn.exe", false},
        {root_ + "Installed\\Velkarn.ex>", false},
        {root_ + "Installed\\Velkarn\"exe", false},
        {root_ + "Installed\\" + std::string(300, 'x') + "\\Velkarn.exe", false},
        {root_ + std::string(5000, 'y') + "Velkarn.exe", false},
    };
    for (const auto& c : cases) EXPECT_EQ(classlib::FileExists(finder_, c.path), c.exists) << c.path;
}

}  // namespace
