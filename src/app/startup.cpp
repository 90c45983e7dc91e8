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
#include "toolkit/dpi.h"
#include "toolkit/resource_archive.h"
#include "toolkit/toolkit.h"

namespace pt {
namespace {

// Stores created before anything else. They are filled in as their
// subsystems arrive; until then the program runs with their defaults.
struct AppGlobals {
    bool dpiAware = false;  // General.DPIAware
};

}  // namespace

int RunApplication(HINSTANCE instance) {
    AppGlobals globals;

    if (HandOverToRunningInstance()) return 0;

    EnterExeDirectory();
    // A store that keeps its file beside the exe needs the folder; a
    // read-only install location simply keeps everything in memory.
    ::CreateDirectoryW(L"data", nullptr);

    const float measured = MeasureScreenScale();
    SetDisplayScale(ScaleFactor(globals.dpiAware, measured));

    InitToolkit(instance);
    ResourceArchive::Instance().LoadFromModule(instance);

    int code = 1;
    {
        SharedFonts fonts = CreateSharedFonts(globals.dpiAware, measured);
        PanelWindow panel(fonts);
        if (panel.Create()) {
            static InstanceMapping mapping;  // lives until the process ends
            mapping.Publish(panel.Handle());
            panel.Show();
            code = RunMessageLoop();
        }
    }
    ShutdownToolkit();
    return code;
}

}  // namespace pt
