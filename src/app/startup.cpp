// Start-up in its fixed order: the settings store, the single-instance
// check, working directory, scale factor, toolkit and resources, shared
// fonts, the panel, the instance mapping, the message loop, and the flushes
// on the way out.
#include "app/startup.h"

#include <string>

#include "app/app_paths.h"
#include "app/display_scale.h"
#include "app/screen_metrics.h"
#include "app/settings_link.h"
#include "app/shared_fonts.h"
#include "app/single_instance.h"
#include "base/startup_trace.h"
#include "base/win_handles.h"
#include "window/dialog_frame.h"
#include "dialogs/key_dialog.h"
#include "dialogs/message_box.h"
#include "dialogs/save_failure_report.h"
#include "dialogs/settings_ui.h"
#include "ext/capture_component.h"
#include "ext/plugin_loader.h"
#include "launcher/background_worker.h"
#include "launcher/icons.h"
#include "launcher/launcher_data.h"
#include "base/save_timer.h"
#include "launcher/data_revision.h"
#include "panel/drop_target.h"
#include "panel/launcher_view.h"
#include "panel/panel_keys.h"
#include "panel/panel_window.h"
#include "settings/settings_store.h"
#include "toolkit/dpi.h"
#include "toolkit/resource_archive.h"
#include "toolkit/toolkit.h"

namespace pt {

int RunApplication(HINSTANCE instance) {
    MarkStartupStage("loaded");
    // The settings come first: the scale factor and the fonts depend on them.
    const std::string dataFolder = ExeDirectory() + "\\data";
    SettingsStore settings(MakeFileSettingsStorage(dataFolder));
    settings.Load();
    MarkStartupStage("settings");
    InstallSettings(&settings);
    settings.SetSaveFailureHandler([dataFolder](uint32_t error) {
        ReportSaveFailure(PanelHandle(), dataFolder + "\\Settings", error);
    });

    if (HandOverToRunningInstance())
        return 0;

    EnterExeDirectory();
    // A store that keeps its file beside the exe needs the folder; a
    // read-only install location keeps everything in memory and says so at
    // the first save.
    ::CreateDirectoryW(L"data", nullptr);

    // The icon cache is read only by the instance that stays: a second start
    // that hands over has no use for it.
    IconCacheFile cacheFile(dataFolder + "\\Cache");
    IconStore icons([](std::string_view source) { return IconKeyOf(source, DisplayScale()); },
                    &cacheFile);
    icons.Load();
    MarkStartupStage("icon cache");

    const bool dpiAware = settings.GetDPIAware();
    const float measured = MeasureScreenScale();
    SetDisplayScale(ScaleFactor(dpiAware, measured));

    // The shell's icon extraction and shortcut reading need COM on this thread.
    ScopedCom com;
    // The first use of the window system (COM's hidden window) pays for
    // its start, which any program with a window pays somewhere.
    MarkStartupStage("COM");
    InitToolkit(instance);
    MarkStartupStage("toolkit and GDI+");
    ResourceArchive::Instance().LoadFromModule(instance);
    MarkStartupStage("archive");

    // Icons and verification wait until the panel has painted.
    HoldBackgroundWork();
    int code = 1;
    {
        SharedFonts fonts = CreateSharedFonts(dpiAware, measured);
        MarkStartupStage("fonts");
        SetDialogCaptionFont(fonts.captionFont);
        auto dataRevision = std::make_shared<uint64_t>(0);
        LauncherData data(std::make_unique<RevisionCountingStorage>(
                              MakeFileLauncherDataStorage(dataFolder), dataRevision),
                          MakeShellLauncherSystem());
        data.SetSaveFailureHandler([dataFolder](uint32_t error) {
            ReportSaveFailure(PanelHandle(), dataFolder + "\\Data", error);
        });
        LauncherViewServices viewServices;
        viewServices.data = &data;
        viewServices.settings = &settings;
        viewServices.icons = &icons;
        viewServices.confirm = [](const std::string& text) {
            return ShowMessageBox(PanelHandle(), text, {}, kMbSetOkCancel | kMbIconQuestion) ==
                   kMbOk;
        };
        viewServices.showError = [](const std::string& text) {
            ShowMessageBox(PanelHandle(), text, {}, kMbSetOk | kMbIconError);
        };
        viewServices.showNotice = [](const std::string& text) {
            ShowMessageBox(PanelHandle(), text, {}, kMbSetOk | kMbIconInformation);
        };
        viewServices.askKey = [] { return AskKey(PanelHandle()); };
        LauncherView view(viewServices);
        PanelServices services;
        services.content = &view;
        services.settings = &settings;
        services.captionFont = fonts.captionFont;
        services.icons = &icons;
        services.startCapture = [] { RunScreenCapture(); };
        // The settings windows outlive the panel that owns them.
        SettingsUiServices uiServices;
        uiServices.settings = &settings;
        uiServices.font = fonts.captionFont;
        SettingsUi settingsUi(uiServices);
        services.hotkeyRefused = [&settingsUi](const std::string&) {
            settingsUi.OpenHotkeyConflict();
        };
        // Made before the panel, so the target outlives the window it serves.
        PanelDropTarget drop(data, view);
        PanelWindow panel(services);
        PanelKeys keys(view, data);
        keys.SetDataRevision([dataRevision] { return *dataRevision; });
        if (panel.Create()) {
            keys.Attach(panel.Handle());
            MarkStartupStage("panel built");
            ConnectSettingsUi(panel, settingsUi);
            SettingsFollower follower(settings, panel, [&data](int* iClass, int* iGroup) {
                *iClass = data.CurrentClass();
                *iGroup = data.CurrentGroup();
            });
            settings.SetHotkeyWindow(panel.Handle());
            panel.FinishStart();
            ReleaseBackgroundWork();
            MarkStartupStage("shown");
            drop.Register(panel.Handle());
            panel.AddBeforeExit([&drop] { drop.Revoke(); });
            LoadPlugins(ExeDirectory() + "\\plugin", ProcessPlugins());
            MarkStartupStage("plug-ins");
            settingsUi.SetPluginNames(LoadedPluginNames());
            static InstanceMapping mapping;  // lives until the process ends
            mapping.Publish(panel.Handle());
            code = RunMessageLoop();
        }
        settings.SetHotkeyWindow(nullptr);
        data.FlushPendingSave();
        SetDialogCaptionFont(nullptr);
    }
    // The exit path has flushed already; a loop that ended any other way
    // must not lose what is pending either.
    icons.FlushPendingSave();
    settings.FlushPendingSave();
    ShutdownToolkit();
    return code;
}

}  // namespace pt
