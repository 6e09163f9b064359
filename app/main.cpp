// main.cpp: the program's entry: libraries from the system folder only, language, then setup or game,
// then exit code 0.
#include <windows.h>

#include "setup/startup.h"
#include "ui/texts.h"
#include "ui/window.h"

// The program does no floating-point arithmetic. Supplying the runtime's math-error hook (the
// documented way to replace it) keeps the default one, with its table of messages, out of the file.
extern "C" int _matherr(struct _exception *)
{
    return 0;
}

namespace {

// Setup.exe usually runs from the Downloads folder, and the standard search looks for a library in the
// program's own folder first: a planted DLL there would be loaded by the shell and COM libraries that
// setup uses, elevated in a restart. Only the system folder is searched from here on. Windows 7 without
// its update KB2533623 lacks the function, so it is looked up.
void restrictLibrarySearch()
{
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFunction)(DWORD);
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void *>(GetProcAddress(kernel32, "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories != nullptr)
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    restrictLibrarySearch();
    detectLanguage();
    runSetup();
    runMainWindow();
    return 0;
}
