// startup.cpp: the run mode chosen from the command line and the program's path, and handed to the
// installer or the uninstaller.
#include "setup/startup.h"

#include "setup/cmdline.h"
#include "setup/common.h"
#include "setup/install.h"
#include "setup/uninstall.h"

void runSetup()
{
    readSetupRun();
    bool quiet = false;
    switch (decideRunMode(setupRun.modulePath, setupRun.argument1, setupRun.argument2, setupRun.restarted,
                          &quiet)) {
    case RunUninstall:
        runUninstall(quiet);
        break;
    case RunInstall:
        runInstall(quiet);
        break;
    case RunGame:
        break;
    }
}
