// Loading plug-ins from a folder: who gets into the list and who does not,
// that a missing dependency is skipped quietly while one beside the plug-in
// is found, that nothing comes from the working directory, and that a file
// is never loaded twice.
#include "ext/plugin_loader.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "base/text.h"
#include "ext_test_util.h"
#include "support/temp_folder.h"

namespace pt {
namespace {

using namespace test;

void CopyInto(const TempFolder& dir, const char* built, const char* name) {
    ASSERT_TRUE(::CopyFileW(BuildPath(built).c_str(), (dir / ToWide(name)).c_str(), FALSE)) << name;
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

BOOL CALLBACK CountOwnWindow(HWND w, LPARAM count) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(w, &pid);
    if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(w))
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// Visible top-level windows of this process: an error box would be one.
int OwnWindows() {
    int count = 0;
    ::EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST(PluginLoaderTest, NoFolderGivesAnEmptyList) {
    PluginList list;
    list.Add("old.dll", u"{}");
    TempFolder dir;
    LoadPlugins(dir.File("plugin"), list);
    EXPECT_EQ(list.Size(), 0u);
}

TEST(PluginLoaderTest, ListsWhatDescribesItselfAndQuietlySkipsTheRest) {
    TempFolder dir;
    const std::string plugins = dir.Folder("plugin");
    CopyInto(dir, PT_SAMPLE_PLUGIN, "plugin\\sample_plugin.dll");
    CopyInto(dir, PT_PLUGIN_DEP, "plugin\\plain_dep.dll");        // no GetAppInfo
    CopyInto(dir, PT_PLUGIN_NEEDS_DEP, "plugin\\needs_dep.dll");  // its dependency is missing
    for (const char* name : {"zero.dll", "broken.dll", "scalar.dll", "endless.dll", "badptr.dll",
                             "unnamed.dll", "probe.dll"})
        CopyInto(dir, PT_PLUGIN_PROBE, (std::string("plugin\\") + name).c_str());
    PluginList list;
    const UINT modeBefore = ::GetErrorMode();
    LoadPlugins(plugins, list);
    EXPECT_EQ(Sorted(list.DisplayNames()),
              (std::vector<std::string>{"probe", "unnamed.dll", "示例插件"}));
    EXPECT_EQ(OwnWindows(), 0) << "an error box came up";
    // A DLL without the export stays loaded; one that failed to load is not.
    EXPECT_NE(::GetModuleHandleW((dir / L"plugin\\plain_dep.dll").c_str()), nullptr);
    EXPECT_EQ(::GetModuleHandleW((dir / L"plugin\\needs_dep.dll").c_str()), nullptr);
    EXPECT_EQ(::GetErrorMode(), modeBefore);
}

TEST(PluginLoaderTest, DependencyBesideThePluginIsFound) {
    TempFolder dir;
    const std::string plugins = dir.Folder("plugin");
    CopyInto(dir, PT_PLUGIN_NEEDS_DEP, "plugin\\needs_dep.dll");
    // Imported by its link name, so it keeps that name beside the plug-in.
    CopyInto(dir, PT_PLUGIN_DEP, "plugin\\plugin_dep.dll");
    PluginList list;
    LoadPlugins(plugins, list);
    EXPECT_EQ(list.DisplayNames(), (std::vector<std::string>{"needs dep"}));
}

TEST(PluginLoaderTest, NothingComesFromTheWorkingDirectory) {
    TempFolder dir;
    const std::string plugins = dir.Folder("plugin");
    const std::string work = dir.Folder("work");
    CopyInto(dir, PT_PLUGIN_NEEDS_DEP, "plugin\\needs_dep.dll");
    CopyInto(dir, PT_PLUGIN_DEP, "work\\plugin_dep.dll");
    CopyInto(dir, PT_PLUGIN_PROBE, "work\\probe.dll");
    wchar_t previous[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryW(ToWide(work).c_str()));
    PluginList list;
    LoadPlugins(plugins, list);
    ::SetCurrentDirectoryW(previous);
    EXPECT_EQ(list.Size(), 0u);
    EXPECT_EQ(::GetModuleHandleW((dir / L"work\\plugin_dep.dll").c_str()), nullptr);
    EXPECT_EQ(::GetModuleHandleW((dir / L"work\\probe.dll").c_str()), nullptr);
}

TEST(PluginLoaderTest, AFileIsLoadedOnceHoweverOftenTheFolderIsRead) {
    TempFolder dir;
    const std::string plugins = dir.Folder("plugin");
    CopyInto(dir, PT_PLUGIN_PROBE, "plugin\\probe.dll");
    PluginList list;
    LoadPlugins(plugins, list);
    LoadPlugins(plugins, list);
    EXPECT_EQ(list.DisplayNames(), (std::vector<std::string>{"probe"}));
    // One load, so one release unloads it.
    HMODULE module = ::GetModuleHandleW((dir / L"plugin\\probe.dll").c_str());
    ASSERT_NE(module, nullptr);
    ::FreeLibrary(module);
    EXPECT_EQ(::GetModuleHandleW((dir / L"plugin\\probe.dll").c_str()), nullptr);
}

}  // namespace
}  // namespace pt
