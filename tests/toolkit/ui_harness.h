// Toolkit windows for tests: a test window that is destroyed however the
// test ends, and the resource archive read from the source tree. Waiting
// and input by messages come from support/.
#pragma once

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/zip_test_writer.h"
#include "support/poll.h"
#include "support/ui_input.h"
#include "toolkit/resource_archive.h"
#include "toolkit/toolkit.h"
#include "toolkit/window.h"

namespace pt::test {

inline Window* MakeTestWindow(int width = 400, int height = 300) {
    WindowOptions o;
    o.x = 80;
    o.y = 80;
    o.width = width;
    o.height = height;
    o.title = "测试";
    o.exStyle = WS_EX_TOOLWINDOW;
    Window* w = Window::Create(o);
    if (w)
        w->EnableDragBorder(false);  // presses near the edges go to elements
    return w;
}

// Destroys the window when the test ends, however it ends.
class WindowGuard {
  public:
    explicit WindowGuard(Window* w) : hwnd_(w ? w->Hwnd() : nullptr) {}
    ~WindowGuard() {
        if (Window* w = Window::FromHwnd(hwnd_))
            w->Destroy();
        Pump();
    }
    WindowGuard(const WindowGuard&) = delete;
    WindowGuard& operator=(const WindowGuard&) = delete;

  private:
    HWND hwnd_;
};

// Loads the process's resource archive with the named files of the source
// tree's res/archive (plain entries: the reader takes those too).
inline bool LoadSourceArchive(const std::vector<std::string>& entries) {
    ZipTestWriter zip;
    for (const std::string& name : entries) {
        std::string path = std::string("Z:") + PT_RES_ARCHIVE_DIR + "/" + name;
        std::ifstream in(path, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
        if (bytes.empty())
            return false;
        zip.Add({name, std::move(bytes), true, "", false});
    }
    return ResourceArchive::Instance().LoadFromBytes(zip.Finish());
}

}  // namespace pt::test
