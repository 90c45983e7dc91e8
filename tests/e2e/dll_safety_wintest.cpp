// System DLLs come from the system folder only: a DLL planted beside the
// program or in its working directory is never loaded in its place. The exe's
// own import table names only DLLs that Windows always takes from the system
// folder. A DLL or function that is missing ends the program with the
// "DLL ERROR" message box.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "base/text.h"
#include "e2e_support.h"
#include "toolkit/dll_binding.h"

namespace pt::test {
namespace {

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\'));
}

TEST(DllSafetyTest, PlantedDllIsNeverLoadedByName) {
    const std::wstring folder = ExeFolder();
    const std::wstring planted = folder + L"\\ptprobe_sys.dll";
    const std::wstring mark = folder + L"\\planted.mark";
    ::DeleteFileW(mark.c_str());
    ASSERT_TRUE(::CopyFileW(BuildPath(PT_PROBE_DLL).c_str(), planted.c_str(), FALSE));

    // Without the restriction the classic search order finds it beside the
    // exe: this is what the restriction must prevent.
    HMODULE loaded = ::LoadLibraryW(L"ptprobe_sys.dll");
    ASSERT_NE(loaded, nullptr);
    ::FreeLibrary(loaded);
    ASSERT_TRUE(FileExists(mark));
    ::DeleteFileW(mark.c_str());

    RestrictDllSearchPath();
    EXPECT_EQ(SystemModule("ptprobe_sys.dll"), nullptr);
    EXPECT_EQ(::LoadLibraryW(L"ptprobe_sys.dll"), nullptr);
    EXPECT_EQ(FindExport("ptprobe_sys.dll", "DllMain"), nullptr);
    EXPECT_FALSE(FileExists(mark));
    // Paths are never searched for.
    EXPECT_EQ(SystemModule(FromWide(planted).c_str()), nullptr);
    EXPECT_FALSE(FileExists(mark));
    ::DeleteFileW(planted.c_str());

    // A real system DLL still binds, from the system folder.
    HMODULE version = SystemModule("version.dll");
    ASSERT_NE(version, nullptr);
    wchar_t path[MAX_PATH], system[MAX_PATH];
    ::GetModuleFileNameW(version, path, MAX_PATH);
    UINT n = ::GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(_wcsnicmp(path, system, n), 0) << FromWide(path);
}

TEST(DllSafetyTest, ProgramIgnoresDllsPlantedUnderSystemNames) {
    TempFolder dir;
    TempFolder workDir;
    const wchar_t* names[] = {L"uxtheme.dll", L"dwmapi.dll", L"version.dll", L"winmm.dll",
                              L"msimg32.dll", L"comctl32.dll", L"windowscodecs.dll", L"propsys.dll"};
    for (const wchar_t* name : names) {
        ASSERT_TRUE(::CopyFileW(BuildPath(PT_PROBE_DLL).c_str(), (dir / name).c_str(), FALSE));
        ASSERT_TRUE(::CopyFileW(BuildPath(PT_PROBE_DLL).c_str(), (workDir / name).c_str(), FALSE));
    }
    auto app = AppProcess::Launch(dir, L"", workDir.WidePath());
    ASSERT_TRUE(app);
    HWND panel = app->WaitForWindow(L"Pinatrove");
    ASSERT_NE(panel, nullptr);
    // Let it paint once before it goes.
    DWORD_PTR result;
    ::SendMessageTimeoutW(panel, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
    EXPECT_TRUE(app->Exit(panel));
    EXPECT_FALSE(FileExists(dir / L"planted.mark"));
    EXPECT_FALSE(FileExists(workDir / L"planted.mark"));
}

// The import table of a PE file: the names of the DLLs it imports from.
std::set<std::string> ImportedDlls(const std::string& image) {
    std::set<std::string> names;
    auto at = [&](size_t offset, size_t size) { return offset <= image.size() && size <= image.size() - offset; };
    if (!at(0, sizeof(IMAGE_DOS_HEADER))) return names;
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    if (!at(dos->e_lfanew, sizeof(IMAGE_NT_HEADERS))) return names;
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image.data() + dos->e_lfanew);
    const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    const auto* sections = IMAGE_FIRST_SECTION(nt);
    auto toOffset = [&](DWORD rva) -> size_t {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const auto& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData) {
                return rva - s.VirtualAddress + s.PointerToRawData;
            }
        }
        return image.size();
    };
    for (size_t offset = toOffset(dir.VirtualAddress); at(offset, sizeof(IMAGE_IMPORT_DESCRIPTOR));
         offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(image.data() + offset);
        if (d->Name == 0) break;
        size_t name = toOffset(d->Name);
        std::string dll;
        while (name < image.size() && image[name]) dll += static_cast<char>(std::tolower(image[name++]));
        names.insert(dll);
    }
    return names;
}

TEST(DllSafetyTest, ExeImportsOnlyDllsTheSystemAlwaysLoadsItself) {
    auto image = ReadFileBytes(BuiltAppPath());
    ASSERT_TRUE(image);
    const std::set<std::string> imports = ImportedDlls(*image);
    EXPECT_TRUE(imports.count("kernel32.dll"));
    // Known DLLs: Windows maps them from the system folder whatever lies
    // beside the exe. Everything else is bound late, from the system folder.
    const std::set<std::string> allowed = {
        "kernel32.dll", "user32.dll",   "gdi32.dll",   "advapi32.dll", "shell32.dll",
        "ole32.dll",    "oleaut32.dll", "comdlg32.dll", "shlwapi.dll", "imm32.dll",
        "msvcrt.dll",   "gdiplus.dll",  "ws2_32.dll",  "setupapi.dll", "psapi.dll",
        // Named by the manifest's Common-Controls dependency, so the loader
        // takes it from the side-by-side store, never from beside the exe.
        "comctl32.dll"};
    for (const auto& dll : imports) EXPECT_TRUE(allowed.count(dll)) << dll << " is not a known DLL";
}

BOOL CALLBACK FindDllText(HWND child, LPARAM param) {
    std::wstring t = WindowText(child);
    if (t.find(L"DLL") != std::wstring::npos) *reinterpret_cast<std::wstring*>(param) = t;
    return TRUE;
}

// The text of the message box the probe shows, after which the box is closed.
std::wstring TakeDllErrorBox(const AppProcess& probe) {
    HWND box = nullptr;
    PollUntil([&] {
        for (HWND w : WindowsOfProcess(probe.Id())) {
            if (WindowText(w) == L"DLL ERROR") box = w;
        }
        return box != nullptr || !probe.Running();
    });
    if (!box) return L"(no box)";
    std::wstring text;
    ::EnumChildWindows(box, FindDllText, reinterpret_cast<LPARAM>(&text));
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    return text;
}

TEST(DllSafetyTest, MissingDllOrFunctionShowsTheErrorBoxAndEnds) {
    const std::wstring exe = BuildPath(PT_DLL_ERROR_PROBE);
    {
        auto probe = AppProcess::Start(exe, L"dll", {});
        ASSERT_TRUE(probe);
        EXPECT_EQ(FromWide(TakeDllErrorBox(*probe)), MissingDllText("pt_no_such_library.dll"));
        EXPECT_EQ(probe->WaitExit(), std::optional<DWORD>(1));
    }
    {
        auto probe = AppProcess::Start(exe, L"function", {});
        ASSERT_TRUE(probe);
        EXPECT_EQ(FromWide(TakeDllErrorBox(*probe)), MissingFunctionText("user32.dll", "PtNoSuchFunction"));
        EXPECT_EQ(probe->WaitExit(), std::optional<DWORD>(1));
    }
}

std::string gReported;
void Capture(const std::string& caption, const std::string& message) { gReported = caption + "|" + message; }

TEST(DllBindingTest, BindsOnFirstUseAndReportsExactTexts) {
    auto old = SetDllFailureHandler(Capture);
    static DllFunction<DWORD(WINAPI*)()> tick{"kernel32.dll", "GetTickCount"};
    EXPECT_GT(tick(), 0u);
    EXPECT_EQ(tick.Required(), reinterpret_cast<DWORD(WINAPI*)()>(
                                   reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetTickCount"))));
    // By ordinal: "#n".
    EXPECT_NE(FindExport("kernel32.dll", "#1"), nullptr);
    EXPECT_EQ(FindExport("kernel32.dll", "#0"), nullptr);
    EXPECT_EQ(FindExport("kernel32.dll", "#x"), nullptr);

    static DllFunction<void(WINAPI*)()> absent{"kernel32.dll", "PtNoSuchExport"};
    EXPECT_EQ(absent.Optional(), nullptr);
    EXPECT_TRUE(gReported.empty());
    EXPECT_EQ(absent.Required(), nullptr);
    EXPECT_EQ(gReported, "DLL ERROR|无法定位DLL文件:\"kernel32.dll\"当中的\"PtNoSuchExport\"函数.");
    static DllFunction<void(WINAPI*)()> noDll{"pt_missing.dll", "Anything"};
    EXPECT_EQ(noDll.Required(), nullptr);
    EXPECT_EQ(gReported, "DLL ERROR|同目录下无法找到DLL文件:\"pt_missing.dll\".请与作者联系.");
    SetDllFailureHandler(old);
}

}  // namespace
}  // namespace pt::test
