// system_dll.h: functions of system libraries that only setup runs or screen readers need (registry,
// token, shell, COM, accessibility), loaded from the system folder when first called, so that a game
// run starts without those libraries; and the few kernel calls on other processes (start, wait, exit
// code) and files (the copy of the program) whose Windows behaviour tests must see.
#pragma once

// The address of the named function in the system library (for example "shell32.dll"), or null.
void *systemFunction(const char *library, const char *function);

template <typename Function> Function systemFunctionOf(const char *library, const char *function)
{
    return reinterpret_cast<Function>(systemFunction(library, function));
}

// The platform function `name` of `library`, typed as <windows.h> declares it; null when missing.
#define SYSTEM_FUNCTION(library, name) systemFunctionOf<decltype(&name)>(library, #name)
