// window.cpp: the main window's class, creation, menu bar, accelerators and message loop.
#include "ui/window.h"

#include <windows.h>

#include "ui/frame.h"
#include "ui/geometry.h"
#include "ui/texts.h"
#include "ui/winproc.h"

namespace {

WNDCLASSEXA windowClass = {sizeof(WNDCLASSEXA), 0, mainWindowProc, 0, 0, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr, nullptr};

HACCEL createAccelerators()
{
    ACCEL keys[6] = {
        {FVIRTKEY | FCONTROL, 'N', IDM_NEW_GAME},
        {FVIRTKEY, VK_F2, IDM_NEW_GAME},
        {FVIRTKEY | FALT, 'X', IDM_EXIT},
        {FVIRTKEY, VK_F3, IDM_HUMAN_OPENS},
        {FVIRTKEY, VK_F4, IDM_COMPUTER_OPENS},
        {FVIRTKEY | FCONTROL, 'M', IDM_MUTE},
    };
    return CreateAcceleratorTableA(keys, 6);
}

void appendMenus(HMENU bar, HMENU gameMenu, HMENU optionsMenu)
{
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(gameMenu), pickTextW(MenuGame));
    AppendMenuW(gameMenu, MF_STRING, IDM_NEW_GAME, pickTextW(MenuNewGame));
    AppendMenuW(gameMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(gameMenu, MF_STRING, IDM_EXIT, pickTextW(MenuExit));
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(optionsMenu), pickTextW(MenuOptions));
    AppendMenuW(optionsMenu, MF_STRING, IDM_HUMAN_OPENS, pickTextW(MenuHumanOpens));
    AppendMenuW(optionsMenu, MF_STRING, IDM_COMPUTER_OPENS, pickTextW(MenuComputerOpens));
    AppendMenuW(optionsMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(optionsMenu, MF_STRING, IDM_MUTE, pickTextW(MenuMute));
    AppendMenuW(bar, MF_STRING, IDM_ABOUT, pickTextW(MenuAbout));
}

}  // namespace

void runMainWindow()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, "I");
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    // The theme's window colour (white in the standard theme), taken afresh at every erase.
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszMenuName = "MENU";
    windowClass.lpszClassName = MainWindowClass;
    if (RegisterClassExA(&windowClass) == 0)
        ExitProcess(255);

    game.moveCount = 0;
    // The system's metrics and the frame it gives a window born on the primary display are at the
    // system's DPI, the screen's.
    HDC screen = GetDC(nullptr);
    const BoardPoint size = mainWindowSize(GetSystemMetrics(SM_CYFULLSCREEN),
                                           static_cast<uint32_t>(GetDeviceCaps(screen, LOGPIXELSY)));
    ReleaseDC(nullptr, screen);
    // No title here: the window procedure sets it, in UTF-16, while the window is created. Born at the
    // primary display's corner, not where CW_USEDEFAULT would put it (the display a starter names, such
    // as a secondary display's taskbar): the size is in the primary display's pixels, and a window born
    // on a display of another scale would be rescaled by WM_DPICHANGED when centring moves it over.
    HWND window = CreateWindowExA(WS_EX_CLIENTEDGE, MainWindowClass, nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  0, 0, size.x, size.y, nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
        ExitProcess(255);   // no window: no message would ever end the loop

    HMENU bar = CreateMenu();
    HMENU gameMenu = CreateMenu();
    HMENU optionsMenu = CreateMenu();
    HACCEL accelerators = createAccelerators();
    appendMenus(bar, gameMenu, optionsMenu);
    SetMenu(window, bar);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorA(window, accelerators, &msg) == 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}
