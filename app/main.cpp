// main.cpp: the program's entry: language, then setup or game, then exit code 0.
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

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    detectLanguage();
    runSetup();
    runMainWindow();
    return 0;
}
