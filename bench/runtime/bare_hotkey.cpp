// The baseline of the hotkey benchmark: the least a Win32 program does to
// show a hidden window of the panel's size and background when Ctrl+` is
// pressed, and hide it again on the next press.
#include <windows.h>

static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            HBRUSH brush = CreateSolidBrush(RGB(245, 245, 245));
            FillRect(dc, &ps.rcPaint, brush);
            DeleteObject(brush);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_HOTKEY:
            if (IsWindowVisible(window)) {
                ShowWindow(window, SW_HIDE);
            } else {
                ShowWindow(window, SW_SHOWNA);
                SetForegroundWindow(window);
            }
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"Pinatrove";
    RegisterClassExW(&wc);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, L"Pinatrove", L"Pinatrove", WS_POPUP,
                                  (work.right - 810) / 2, (work.bottom - 610) / 2, 810, 610,
                                  nullptr, nullptr, instance, nullptr);
    RegisterHotKey(window, 1, MOD_CONTROL, VK_OEM_3);
    // As the program does once its hotkeys are registered: the bench waits
    // for this name before it presses the key.
    CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4, L"Pinatrove");
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
