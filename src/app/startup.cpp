// Start-up in its fixed order: stores, single-instance check, working
// directory, scale factor, toolkit and resources, shared fonts, the panel,
// the instance mapping, the message loop, and the flushes on the way out.
#include "app/startup.h"

#include "app/app_paths.h"
#include "app/display_scale.h"
#include "app/panel_window.h"
#include "app/screen_metrics.h"
#include "app/shared_fonts.h"
#include "app/single_instance.h"
#if __has_include("toolkit/resource_archive.h")
#include "toolkit/resource_archive.h"
#define PT_HAVE_ARCHIVE 1
#endif

namespace pt {
namespace {

// Stores created before anything else. They are filled in as their
// subsystems arrive; until then the program runs with their defaults.
struct AppGlobals {
    bool dpiAware = false;  // General.DPIAware
};

int RunMessageLoop() {
    MSG msg;
    BOOL got;
    while ((got = ::GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) return 1;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

int RunApplication(HINSTANCE instance) {
    AppGlobals globals;

    if (HandOverToRunningInstance()) return 0;

    EnterExeDirectory();
    // A store that keeps its file beside the exe needs the folder; a
    // read-only install location simply keeps everything in memory.
    ::CreateDirectoryW(L"data", nullptr);

    const float measured = MeasureScreenScale();
    const float scale = ScaleFactor(globals.dpiAware, measured);

#ifdef PT_HAVE_ARCHIVE
    ResourceArchive::Instance().LoadFromModule(instance);
#endif

    SharedFonts fonts = CreateSharedFonts(globals.dpiAware, measured);

    PanelWindow panel(instance, scale, fonts);
    if (!panel.Create()) return 1;

    static InstanceMapping mapping;  // lives until the process ends
    mapping.Publish(panel.Handle());
    panel.Show();

    const int code = RunMessageLoop();
    return code;
}

}  // namespace pt
