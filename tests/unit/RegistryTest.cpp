// The registry accessor against a fake registry: the read-only fallbacks, every
// kind of value content, and the key's release.
#include <gtest/gtest.h>

#include "classlib/Registry.h"
#include "tests/unit/FakeSystem.h"

using classlib::ERegistryException;
using classlib::kHKeyCurrentUser;
using classlib::TRegistry;
using fakes::FakeSystem;
using fakes::RegValue;

namespace {
constexpr const char* kKey = "Software\\Probe\\";

struct AccessCase {
    const char* name;
    std::uint32_t granted;
    bool opens;
    std::uint32_t access;   // what the accessor holds afterwards
    std::size_t attempts;
};

class OpenKeyReadOnlyTest : public ::testing::TestWithParam<AccessCase> {};

TEST_P(OpenKeyReadOnlyTest, AsksForLessAccessUntilGranted) {
    const AccessCase& c = GetParam();
    FakeSystem system;
    system.Key(kHKeyCurrentUser, kKey).grantedAccess = c.granted;
    TRegistry registry(system);

    EXPECT_EQ(registry.OpenKeyReadOnly(kKey), c.opens);
    EXPECT_EQ(registry.HasCurrentKey(), c.opens);
    EXPECT_EQ(registry.Access(), c.access);
    EXPECT_EQ(system.log.size(), c.attempts);
}

INSTANTIATE_TEST_SUITE_P(
    Grants, OpenKeyReadOnlyTest,
    ::testing::Values(AccessCase{"full", 0xF003F, true, 0x20019, 1},
                      AccessCase{"read", 0x20019, true, 0x20019, 1},
                      AccessCase{"noNotify", 0x20009, true, 0x20009, 2},
                      AccessCase{"queryOnly", 0x0001, true, 0x0001, 3},
                      AccessCase{"none", 0x0, false, 0x20019, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TRegistry, StartsAtCurrentUserAndOpensRelativeToTheRoot) {
    FakeSystem system;
    system.Key(kHKeyCurrentUser, kKey).values["V"] = fakes::Sz("user");
    system.Key(classlib::kHKeyLocalMachine, kKey).values["V"] = fakes::Sz("machine");

    TRegistry registry(system);
    EXPECT_EQ(registry.RootKey(), kHKeyCurrentUser);
    ASSERT_TRUE(registry.OpenKeyReadOnly(kKey));
    EXPECT_EQ(registry.ReadString("V"), "user");

    registry.SetRootKey(classlib::kHKeyLocalMachine);
    EXPECT_FALSE(registry.HasCurrentKey());
    ASSERT_TRUE(registry.OpenKeyReadOnly(kKey));
    EXPECT_EQ(registry.ReadString("V"), "machine");
}

TEST(TRegistry, AbsentKeyIsNotOpened) {
    FakeSystem system;
    TRegistry registry(system);
    EXPECT_FALSE(registry.OpenKeyReadOnly(kKey));
    EXPECT_EQ(registry.ReadString("V"), "");
}

struct ReadCase {
    const char* name;
    bool present;
    RegValue value;
    std::string expected;
    const char* error;  // the exception's text, or null
};

class ReadStringTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadStringTest, ReadsAsStored) {
    const ReadCase& c = GetParam();
    FakeSystem system;
    auto& key = system.Key(kHKeyCurrentUser, kKey);
    if (c.present) key.values["InstallPath"] = c.value;
    TRegistry registry(system);
    ASSERT_TRUE(registry.OpenKeyReadOnly(kKey));

    if (c.error) {
        try {
            registry.ReadString("InstallPath");
            FAIL() << "no exception";
        } catch (const ERegistryException& e) {
            EXPECT_EQ(e.Message(), c.error);
        }
    } else {
        EXPECT_EQ(registry.ReadString("InstallPath"), c.expected);
    }
}

using std::string_literals::operator""s;
constexpr const char* kWrongType = "'InstallPath' のデータ型が不正です";

INSTANTIATE_TEST_SUITE_P(
    Values, ReadStringTest,
    ::testing::Values(
        ReadCase{"absent", false, {classlib::kRegSz, ""}, "", nullptr},
        ReadCase{"noData", true, {classlib::kRegSz, ""}, "", nullptr},
        ReadCase{"emptyString", true, {classlib::kRegSz, "\0"s}, "", nullptr},
        ReadCase{"nulFirst", true, {classlib::kRegSz, "\0C:\\V\\\0"s}, "", nullptr},
        ReadCase{"path", true, {classlib::kRegSz, "C:\\Velkarn\\\0"s}, "C:\\Velkarn\\", nullptr},
        ReadCase{"noTerminator", true, {classlib::kRegSz, "C:\\Velkarn\\"}, "C:\\Velkarn\\", nullptr},
        ReadCase{"textAfterNul", true, {classlib::kRegSz, "C:\\A\\\0C:\\B\\\0"s}, "C:\\A\\", nullptr},
        ReadCase{"shiftJis", true, {classlib::kRegSz, "C:\\\x83\x5c\x83\x74\x83\x67\\\0"s},
                 "C:\\\x83\x5c\x83\x74\x83\x67\\", nullptr},
        ReadCase{"expandKeptAsStored", true, {classlib::kRegExpandSz, "%ProgramFiles%\\Velkarn\\\0"s},
                 "%ProgramFiles%\\Velkarn\\", nullptr},
        ReadCase{"dword", true, {classlib::kRegDword, "\x01\0\0\0"s}, "", kWrongType},
        ReadCase{"binary", true, {classlib::kRegBinary, "C:\\\0"s}, "", kWrongType},
        ReadCase{"multiString", true, {classlib::kRegMultiSz, "C:\\\0\0"s}, "", kWrongType},
        ReadCase{"emptyDword", true, {classlib::kRegDword, ""}, "", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TRegistry, UnreadableDataRaisesTheReadError) {
    FakeSystem system;
    auto& key = system.Key(kHKeyCurrentUser, kKey);
    key.values["InstallPath"] = fakes::Sz("C:\\Velkarn\\");
    key.dataReadFails = true;
    TRegistry registry(system);
    ASSERT_TRUE(registry.OpenKeyReadOnly(kKey));
    EXPECT_THROW(
        try { registry.ReadString("InstallPath"); } catch (const ERegistryException& e) {
            EXPECT_EQ(e.Message(), "'InstallPath' の取得に失敗しました");
            throw;
        },
        ERegistryException);
}

// Another program rewrites the value between the size query and the reads: the
// next `rewrites` reads each find it rewritten to `next`, and whatever lies beyond
// the data a read returns is left as junk.
class ChangingRegistry : public FakeSystem {
public:
    ChangingRegistry(std::string next, int rewrites) : next_(std::move(next)), rewrites_(rewrites) {}
    long QueryValue(classlib::RegKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override {
        if (data != nullptr && rewrites_-- > 0) {
            next_ += "x";
            Key(kHKeyCurrentUser, kKey).values[name] = {classlib::kRegSz, next_};
        }
        const std::uint32_t capacity = *size;
        const long status = FakeSystem::QueryValue(key, name, type, data, size);
        if (data != nullptr && status == classlib::kErrorSuccess)
            std::fill(data + *size, data + capacity, static_cast<std::uint8_t>('#'));
        return status;
    }

private:
    std::string next_;
    int rewrites_;
};

TEST(TRegistry, ValueRewrittenBetweenTheReadsIsReadAsItNowIs) {
    const struct {
        const char* name;
        std::string next;
        int rewrites;
        std::string expected;  // or the read error when empty
    } cases[] = {
        {"shrank", "C:", 1, "C:x"},
        {"grewOnce", std::string(40, 'L'), 1, std::string(40, 'L') + "x"},
        {"grewTwice", std::string(40, 'L'), 2, std::string(40, 'L') + "xx"},
        {"keepsGrowing", std::string(40, 'L'), 100, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ChangingRegistry system(c.next, c.rewrites);
        system.Key(kHKeyCurrentUser, kKey).values["V"] = {classlib::kRegSz, "C:\\Some\\Folder\\"};
        TRegistry registry(system);
        ASSERT_TRUE(registry.OpenKeyReadOnly(kKey));
        if (c.expected.empty()) {
            EXPECT_THROW(registry.ReadString("V"), ERegistryException);
        } else {
            EXPECT_EQ(registry.ReadString("V"), c.expected);
        }
    }
}

TEST(TRegistry, ReleasesTheKeyOnDestructionAlsoAfterAnError) {
    FakeSystem system;
    system.Key(kHKeyCurrentUser, kKey).values["V"] = {classlib::kRegDword, "\x01\0\0\0"s};
    try {
        TRegistry registry(system);
        ASSERT_TRUE(registry.OpenKeyReadOnly(kKey));
        registry.ReadString("V");
    } catch (const ERegistryException&) {
    }
    EXPECT_TRUE(system.openHandles.empty());
    EXPECT_EQ(system.log.back(), "close");
}

TEST(TRegistry, OpeningAnotherKeyClosesTheFirst) {
    FakeSystem system;
    system.Key(kHKeyCurrentUser, "A");
    system.Key(kHKeyCurrentUser, "B");
    TRegistry registry(system);
    ASSERT_TRUE(registry.OpenKeyReadOnly("A"));
    ASSERT_TRUE(registry.OpenKeyReadOnly("\\B"));
    EXPECT_EQ(system.openHandles.size(), 1u);
    registry.CloseKey();
    EXPECT_TRUE(system.openHandles.empty());
}

struct ReportCase {
    std::string message, shown;
};

TEST(ErrorReportText, AddsAFullStopAfterACharacterAboveIt) {
    const ReportCase cases[] = {
        {"'InstallPath' のデータ型が不正です", "'InstallPath' のデータ型が不正です."},
        {"Out of memory", "Out of memory."},
        {"Done.", "Done."},
        {"Really?", "Really?."},
        {"Ends in a dash-", "Ends in a dash-"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(classlib::ErrorReportText(c.message), c.shown) << c.message;
}

}  // namespace
