// main.cpp: the program's entry: language, then setup or game, then exit code 0.
#include <windows.h>

#include "setup/startup.h"
#include "ui/texts.h"
#include "ui/window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    detectLanguage();
    runSetup();
    runMainWindow();
    return 0;
}
