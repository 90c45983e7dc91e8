// The crash-safe writer: every way a save can stop half-way must leave the
// target readable as a complete version. Faults are injected after each step,
// and a child process (this exe, started with a marker argument) is killed
// many times in the middle of a burst of saves.
#include "base/atomic_file.h"

#include "base/text.h"
#include "base/win_handles.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace pt {
namespace {

constexpr wchar_t kChildMarker[] = L"--atomic-file-child";
constexpr wchar_t kChildPathVar[] = L"PT_ATOMIC_CHILD_PATH";
constexpr wchar_t kChildEventVar[] = L"PT_ATOMIC_CHILD_EVENT";

// Version k of the child's file: one repeated letter, with a length that
// depends on the letter, so a torn or mixed file is always detectable.
std::string Version(unsigned k) {
    char letter = static_cast<char>('a' + k % 26);
    return std::string(4096 + static_cast<size_t>(letter - 'a') * 2500, letter);
}

bool IsSomeVersion(const std::string& bytes) {
    if (bytes.empty() || bytes[0] < 'a' || bytes[0] > 'z') return false;
    return bytes == Version(static_cast<unsigned>(bytes[0] - 'a'));
}

std::wstring EnvVar(const wchar_t* name) {
    wchar_t buffer[1024];
    DWORD n = ::GetEnvironmentVariableW(name, buffer, 1024);
    return n > 0 && n < 1024 ? std::wstring(buffer, n) : std::wstring();
}

// Child mode: runs before main, saves forever until the parent kills it.
const bool kChildRan = [] {
    if (!std::wcsstr(::GetCommandLineW(), kChildMarker)) return false;
    std::string path = FromWide(EnvVar(kChildPathVar));
    UniqueKernelHandle started(::OpenEventW(EVENT_MODIFY_STATE, FALSE, EnvVar(kChildEventVar).c_str()));
    for (unsigned k = 1;; ++k) {
        WriteFileAtomic(path, Version(k));
        if (k == 1 && started) ::SetEvent(started.Get());
    }
}();

std::string ReadBack(const std::string& path) {
    std::string bytes;
    EXPECT_EQ(ReadWholeFile(path, &bytes), FileReadStatus::kOk) << path;
    return bytes;
}

class AtomicFileTest : public testing::Test {
protected:
    void TearDown() override { SetAtomicWriteFaultHook({}); }
    test::TempFolder folder_;
};

TEST_F(AtomicFileTest, WritesReplacesAndReadsBack) {
    std::string path = folder_.File("Settings");
    std::string bytes;
    uint32_t readError = 0;
    EXPECT_EQ(ReadWholeFile(path, &bytes, &readError), FileReadStatus::kMissing);
    EXPECT_EQ(readError, uint32_t{ERROR_FILE_NOT_FOUND});

    ASSERT_TRUE(WriteFileAtomic(path, std::string("a\0b", 3)));  // target created by a move
    EXPECT_EQ(ReadBack(path), std::string("a\0b", 3));
    std::string big(3 * 1024 * 1024 + 17, 'x');  // more than one I/O chunk
    big[12345] = 'y';
    ASSERT_TRUE(WriteFileAtomic(path, big));  // existing target: replaced
    EXPECT_EQ(ReadBack(path), big);
    ASSERT_TRUE(WriteFileAtomic(path, ""));
    EXPECT_EQ(ReadWholeFile(path, &bytes), FileReadStatus::kOk);
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(test::FileExists(path + ".tmp"));

    // Another process holding the file open makes the swap fail: the save
    // reports it, and the old content stays complete.
    ASSERT_TRUE(WriteFileAtomic(path, "old"));
    UniqueKernelHandle reader(::CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                            nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(reader);
    uint32_t error = 0;
    EXPECT_FALSE(WriteFileAtomic(path, "new", &error));
    EXPECT_NE(error, 0u);
    reader.Reset();
    EXPECT_EQ(ReadBack(path), "old");
    EXPECT_FALSE(test::FileExists(path + ".tmp"));
    EXPECT_TRUE(WriteFileAtomic(path, "new"));
    EXPECT_EQ(ReadBack(path), "new");

    // Non-ASCII names need a UTF-8 host locale under Wine; where the session's
    // locale is not installed, Wine cannot create such names at all.
    if (test::HostTakesUnicodeNames(folder_.Path())) {
        EXPECT_TRUE(WriteFileAtomic(folder_.File("中文名"), "unicode"));
        EXPECT_EQ(ReadBack(folder_.File("中文名")), "unicode");
    }
}

TEST_F(AtomicFileTest, FailuresReportAnErrorAndLeaveTheTargetAlone) {
    uint32_t error = 0;
    EXPECT_FALSE(WriteFileAtomic(folder_.File("no-such-folder\\Settings"), "x", &error));
    EXPECT_EQ(error, uint32_t{ERROR_PATH_NOT_FOUND});

    // A stale temporary file from an earlier crash does not get in the way.
    std::string path = folder_.File("Data");
    ASSERT_TRUE(WriteFileAtomic(path + ".tmp", "stale"));
    EXPECT_TRUE(WriteFileAtomic(path, "fresh"));
    EXPECT_EQ(ReadBack(path), "fresh");
    EXPECT_FALSE(test::FileExists(path + ".tmp"));

    EXPECT_TRUE(EnsureDirectory(folder_.File("sub")));
    EXPECT_TRUE(EnsureDirectory(folder_.File("sub")));  // already there
    EXPECT_FALSE(EnsureDirectory(path));                // a file of that name
    ::RemoveDirectoryW(ToWide(folder_.File("sub")).c_str());

    EXPECT_TRUE(CopyFileNoReplace(path, folder_.File("Data.copy")));
    EXPECT_EQ(ReadBack(folder_.File("Data.copy")), "fresh");
    EXPECT_FALSE(CopyFileNoReplace(path, folder_.File("Data.copy")));
}

TEST_F(AtomicFileTest, FaultAfterEachStepLeavesOldOrNewVersion) {
    const AtomicWriteStep steps[] = {AtomicWriteStep::kCreate, AtomicWriteStep::kWrite,
                                     AtomicWriteStep::kFlush, AtomicWriteStep::kReplace};
    for (bool targetExisted : {true, false}) {
        for (AtomicWriteStep failAt : steps) {
            SCOPED_TRACE(static_cast<int>(failAt));
            SCOPED_TRACE(targetExisted);
            std::string path = folder_.File("Cache");
            ::DeleteFileW(ToWide(path).c_str());
            if (targetExisted) {
                ASSERT_TRUE(WriteFileAtomic(path, "old version"));
            }
            int calls = 0;
            SetAtomicWriteFaultHook([&](AtomicWriteStep step) {
                ++calls;
                return step == failAt;
            });
            uint32_t error = 0;
            EXPECT_FALSE(WriteFileAtomic(path, "new version, longer than the old", &error));
            EXPECT_NE(error, 0u);
            EXPECT_EQ(calls, static_cast<int>(failAt) + 1);
            SetAtomicWriteFaultHook({});

            std::string bytes;
            FileReadStatus status = ReadWholeFile(path, &bytes);
            if (failAt == AtomicWriteStep::kReplace) {
                EXPECT_EQ(bytes, "new version, longer than the old");
            } else if (targetExisted) {
                EXPECT_EQ(bytes, "old version");
            } else {
                EXPECT_EQ(status, FileReadStatus::kMissing);
            }
            EXPECT_FALSE(test::FileExists(path + ".tmp"));
        }
    }
}

TEST_F(AtomicFileTest, KilledWriterNeverLeavesATornFile) {
    std::string path = folder_.File("Burst");
    ASSERT_TRUE(WriteFileAtomic(path, Version(0)));

    wchar_t exe[MAX_PATH];
    ASSERT_GT(::GetModuleFileNameW(nullptr, exe, MAX_PATH), 0u);
    std::wstring eventName = L"pt-atomic-started-" + std::to_wstring(::GetCurrentProcessId());
    UniqueKernelHandle started(::CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    ASSERT_TRUE(started);
    ::SetEnvironmentVariableW(kChildPathVar, ToWide(path).c_str());
    ::SetEnvironmentVariableW(kChildEventVar, eventName.c_str());

    std::mt19937 random(12345);
    constexpr int kRounds = 25;
    int killedMidBurst = 0;
    for (int round = 0; round < kRounds; ++round) {
        ::ResetEvent(started.Get());
        std::wstring commandLine = L"\"" + std::wstring(exe) + L"\" " + kChildMarker;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        ASSERT_TRUE(::CreateProcessW(exe, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                     nullptr, &startup, &info));
        UniqueKernelHandle process(info.hProcess), thread(info.hThread);
        HANDLE waits[2] = {started.Get(), process.Get()};
        DWORD which = ::WaitForMultipleObjects(2, waits, FALSE, 20000);
        ASSERT_EQ(which, WAIT_OBJECT_0) << "the child did not start saving";
        ::Sleep(random() % 40);
        ::TerminateProcess(process.Get(), 9);
        ::WaitForSingleObject(process.Get(), INFINITE);
        DWORD code = 0;
        ::GetExitCodeProcess(process.Get(), &code);
        if (code == 9) ++killedMidBurst;

        std::string bytes;
        ASSERT_EQ(ReadWholeFile(path, &bytes), FileReadStatus::kOk);
        ASSERT_TRUE(IsSomeVersion(bytes)) << "round " << round << ": torn file of " << bytes.size()
                                          << " bytes";
    }
    ::SetEnvironmentVariableW(kChildPathVar, nullptr);
    ::SetEnvironmentVariableW(kChildEventVar, nullptr);
    EXPECT_EQ(killedMidBurst, kRounds);
    (void)kChildRan;
}

}  // namespace
}  // namespace pt
