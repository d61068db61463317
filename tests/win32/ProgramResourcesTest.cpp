// The resources built into the program: icon, form definition, manifest, version.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

class ProgramResourcesTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* path = std::getenv("VELKARN_PROGRAM");  // a Unix path, set by the test run
        ASSERT_NE(path, nullptr);
        program_ = std::string("Z:") + path;
        module_ = LoadLibraryExA(program_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module_, nullptr) << program_;
    }
    void TearDown() override { FreeLibrary(module_); }

    std::string Resource(LPCWSTR type, LPCWSTR name, WORD language = 0) {
        const HRSRC found = language ? FindResourceExW(module_, type, name, language) : FindResourceW(module_, name, type);
        if (!found) return {};
        const void* data = LockResource(LoadResource(module_, found));
        return std::string(static_cast<const char*>(data), SizeofResource(module_, found));
    }

    std::string program_;
    HMODULE module_ = nullptr;
};

#pragma pack(push, 2)
struct IconDirectoryEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST_F(ProgramResourcesTest, IconIs32By32In16ColoursInJapanese) {
    const std::string group =
        Resource(MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, L"MAINICON", MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    ASSERT_GE(group.size(), 6 + sizeof(IconDirectoryEntry));
    EXPECT_EQ(*reinterpret_cast<const WORD*>(group.data() + 4), 1);  // one image
    const auto* entry = reinterpret_cast<const IconDirectoryEntry*>(group.data() + 6);
    EXPECT_EQ(entry->width, 32);
    EXPECT_EQ(entry->height, 32);
    EXPECT_EQ(entry->colourCount, 16);
    EXPECT_EQ(entry->bitCount, 4);
}

TEST_F(ProgramResourcesTest, CarriesTheMainWindowDefinitionAsWritten) {
    std::ifstream file(std::string(std::getenv("VELKARN_SOURCE_DIR")) + "/Unit1.dfm", std::ios::binary);
    std::stringstream source;
    source << file.rdbuf();
    EXPECT_EQ(Resource(MAKEINTRESOURCEW(10) /* RT_RCDATA */, L"TFORMMAIN"), source.str());
}

TEST_F(ProgramResourcesTest, ManifestAsksForNoElevationDpiAwarenessAndVisualStyles) {
    const std::string manifest = Resource(MAKEINTRESOURCEW(24) /* RT_MANIFEST */, MAKEINTRESOURCEW(1));
    for (const char* part : {"level=\"asInvoker\"", "<dpiAware", "true/pm", "PerMonitorV2",
                             "Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"",
                             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
}

TEST_F(ProgramResourcesTest, VersionIs1Point0InJapanese) {
    const std::string version = Resource(MAKEINTRESOURCEW(16) /* RT_VERSION */, MAKEINTRESOURCEW(1));
    ASSERT_GT(version.size(), 40 + sizeof(VS_FIXEDFILEINFO));
    // VS_VERSIONINFO: three WORDs, the key "VS_VERSION_INFO", padding, then the fixed part.
    const std::size_t fixedAt = (6 + sizeof(L"VS_VERSION_INFO") + 3) & ~std::size_t(3);
    const auto* fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(version.data() + fixedAt);
    ASSERT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    const std::wstring text(reinterpret_cast<const wchar_t*>(version.data()), version.size() / sizeof(wchar_t));
    EXPECT_NE(text.find(L"041104B0"), std::wstring::npos);  // Japanese, Unicode
    EXPECT_NE(text.find(L"VelkarnVupTool"), std::wstring::npos);
    EXPECT_NE(text.find(L"FileDescription"), std::wstring::npos);
}

}  // namespace
