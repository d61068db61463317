// The file test: files only, exact paths only.
#include <gtest/gtest.h>

#include "classlib/FileTest.h"
#include "tests/unit/FakeSystem.h"

namespace {

TEST(FileExists, AnswersForExactlyOneFile) {
    fakes::FakeSystem system;
    system.AddFile("C:\\Velkarn\\Velkarn.exe");
    system.AddFile("C:\\Velkarn\\OldVelkarn.exe");
    system.AddFolder("C:\\Tools\\Velkarn.exe");

    const struct {
        const char* path;
        bool exists;
    } cases[] = {
        {"C:\\Velkarn\\Velkarn.exe", true},
        {"C:\\Tools\\Velkarn.exe", false},         // a folder of that name
        {"C:\\Missing\\Velkarn.exe", false},
        {"", false},
        // Wildcards would match another file; they never reach the search.
        {"C:\\Velkarn\\*Velkarn.exe", false},
        {"C:\\Velkarn\\Velkarn.ex?", false},
        {"C:\\Velkarn\\*", false},
        {"C:\\Velkarn\\<elkarn.exe", false},
        {"C:\\Velkarn\\Velkarn.ex>", false},
        {"C:\\Velkarn\\Velkarn\"exe", false},
    };
    for (const auto& c : cases) {
        system.log.clear();
        EXPECT_EQ(classlib::FileExists(system, c.path), c.exists) << c.path;
        if (std::string(c.path).find_first_of("*?<>\"") != std::string::npos) {
            EXPECT_TRUE(system.log.empty());
        }
    }
}

}  // namespace
