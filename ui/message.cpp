// message.cpp: message boxes with the program's icon, and the refusal beep.
#include "ui/message.h"

#include <windows.h>

int showMessage(HWND owner, const wchar_t *text, const wchar_t *caption, const wchar_t *iconName,
                uint32_t style)
{
    MSGBOXPARAMSW params = {};
    params.cbSize = sizeof params;
    params.hwndOwner = owner;
    params.hInstance = GetModuleHandleW(nullptr);
    params.lpszText = text;
    params.lpszCaption = caption;
    params.dwStyle = style | MB_SETFOREGROUND;
    params.lpszIcon = iconName;
    params.dwContextHelpId = 1;
    params.lpfnMsgBoxCallback = nullptr;
    params.dwLanguageId = 0;
    MessageBeep(MB_ICONASTERISK);
    return MessageBoxIndirectW(&params);
}

void refuseWhileBusy()
{
    MessageBeep(0xFFFF);
}
