// What the built exe carries: its packed UI resources (readable with the
// program's own password), its icon and its version.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/text.h"
#include "e2e_support.h"
#include "toolkit/resource_archive.h"

namespace pt::test {
namespace {

class ExeResourcesTest : public testing::Test {
  protected:
    void SetUp() override {
        module_ = ::LoadLibraryExW(BuiltAppPath().c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module_, nullptr);
    }
    void TearDown() override {
        if (module_) ::FreeLibrary(module_);
    }
    HMODULE module_ = nullptr;
};

TEST_F(ExeResourcesTest, ArchiveHoldsEveryEntryTheWindowsLoad) {
    ResourceArchive archive;
    ASSERT_TRUE(archive.LoadFromModule(module_));
    for (const char* name : {"res\\appframework\\SysButton\\close.svg", "res\\appframework\\app.svg",
                             "layout\\wd.main.xml", "layout/item/listview.main.xml",
                             "res\\images\\Shadow2.png", "res\\Pinatrove.ttf", "res\\resource.res"}) {
        EXPECT_FALSE(archive.Read(name).empty()) << name;
    }
    EXPECT_TRUE(archive.Read("res\\appframework\\nothing.svg").empty());
}

TEST_F(ExeResourcesTest, CarriesItsIconAndVersion) {
    EXPECT_NE(::FindResourceW(module_, MAKEINTRESOURCEW(1), RT_GROUP_ICON), nullptr);
    DWORD ignored = 0;
    const std::wstring exe = BuiltAppPath();
    DWORD size = ::GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(::GetFileVersionInfoW(exe.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length));
    EXPECT_EQ(info->dwFileVersionMS, MAKELONG(1, 1));
    EXPECT_EQ(info->dwFileVersionLS, MAKELONG(0, 7));
}

}  // namespace
}  // namespace pt::test
