// The registry accessor over advapi32, against values this test writes under a key
// of its own in HKEY_CURRENT_USER and removes again.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "classlib/Registry.h"
#include "classlib/win32/Win32System.h"

using std::string_literals::operator""s;

namespace {

class Win32RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        keyPath_ = "Software\\VelkarnVupToolTest\\" + std::to_string(GetCurrentProcessId());
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key_, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        RegCloseKey(key_);
        RegDeleteKeyA(HKEY_CURRENT_USER, keyPath_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\VelkarnVupToolTest");
    }
    void Write(const char* name, DWORD type, const std::string& bytes) {
        ASSERT_EQ(RegSetValueExA(key_, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
    }

    classlib::win32::Win32Registry api_;
    std::string keyPath_;
    HKEY key_ = nullptr;
};

TEST_F(Win32RegistryTest, OpensTheKeyWithATrailingBackslashRelativeToTheUserRoot) {
    classlib::TRegistry registry(api_);
    EXPECT_TRUE(registry.OpenKeyReadOnly(keyPath_ + "\\"));
    EXPECT_EQ(registry.Access(), classlib::kKeyRead);
    registry.SetRootKey(classlib::kHKeyLocalMachine);
    EXPECT_FALSE(registry.OpenKeyReadOnly(keyPath_ + "\\"));
}

TEST_F(Win32RegistryTest, ReadsEveryKindOfValueAsStored) {
    const struct {
        const char* name;
        DWORD type;
        std::string data;
        std::string expected;
        const char* error;
    } cases[] = {
        {"Path", REG_SZ, "C:\\Velkarn\\\0"s, "C:\\Velkarn\\", nullptr},
        {"NoTerminator", REG_SZ, "C:\\Velkarn\\", "C:\\Velkarn\\", nullptr},
        {"EmbeddedNul", REG_SZ, "C:\\A\\\0C:\\B\\\0"s, "C:\\A\\", nullptr},
        {"NulFirst", REG_SZ, "\0C:\\A\\\0"s, "", nullptr},
        {"Empty", REG_SZ, "\0"s, "", nullptr},
        {"NoData", REG_SZ, "", "", nullptr},
        {"Expandable", REG_EXPAND_SZ, "%ProgramFiles%\\Velkarn\\\0"s, "%ProgramFiles%\\Velkarn\\", nullptr},
        {"Long", REG_SZ, std::string(5000, 'x') + '\0', std::string(5000, 'x'), nullptr},
        {"Dword", REG_DWORD, "\x01\0\0\0"s, "", "'Dword' のデータ型が不正です"},
        {"Binary", REG_BINARY, "C:\\\0"s, "", "'Binary' のデータ型が不正です"},
        {"MultiString", REG_MULTI_SZ, "C:\\\0\0"s, "", "'MultiString' のデータ型が不正です"},
    };
    for (const auto& c : cases) Write(c.name, c.type, c.data);

    classlib::TRegistry registry(api_);
    ASSERT_TRUE(registry.OpenKeyReadOnly(keyPath_ + "\\"));
    for (const auto& c : cases) {
        if (c.error) {
            try {
                registry.ReadString(c.name);
                ADD_FAILURE() << c.name << ": no exception";
            } catch (const classlib::ERegistryException& e) {
                EXPECT_EQ(e.Message(), c.error);
            }
        } else {
            EXPECT_EQ(registry.ReadString(c.name), c.expected) << c.name;
        }
    }
    EXPECT_EQ(registry.ReadString("Absent"), "");
}

}  // namespace
