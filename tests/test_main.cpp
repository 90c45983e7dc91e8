// Entry point of every test exe. Under Wine stdout is a pipe that msvcrt would
// open in text mode, turning "\n" into "\r\n"; CTest's test discovery reads
// the list line by line and must not see the carriage returns.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <cstdio>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // A crashing test must fail, not open a dialog that waits forever.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
#endif
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
