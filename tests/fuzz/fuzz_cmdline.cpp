// fuzz_cmdline.cpp: any command line and module path through the splitting, the case-blind search and
// the run-mode decision: no read or write outside the texts, and results that agree with each other.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "setup/cmdline.h"
#include "setup/locations.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The input is "module path NUL command line"; both as exact-size heap copies, so that any read
    // beyond a terminating zero is caught.
    const uint8_t *split = static_cast<const uint8_t *>(memchr(data, 0, size));
    const size_t pathLength = split ? static_cast<size_t>(split - data) : size / 3;
    const std::string path(reinterpret_cast<const char *>(data), pathLength);
    const size_t rest = split ? size - pathLength - 1 : size - pathLength;
    const std::string line(reinterpret_cast<const char *>(data + size - rest), rest);
    const std::string cmd = line.substr(0, strlen(line.c_str()));

    char *one = static_cast<char *>(malloc(cmd.size() + 1));
    char *two = static_cast<char *>(malloc(cmd.size() + 1));
    const size_t oneLength = commandLineArgument(cmd.c_str(), 1, one, cmd.size() + 1);
    const size_t twoLength = commandLineArgument(cmd.c_str(), 2, two, cmd.size() + 1);
    if (oneLength != strlen(one) || twoLength != strlen(two) || oneLength + twoLength > cmd.size())
        abort();

    // A small buffer cuts the argument but reports its whole length.
    char small[4];
    if (commandLineArgument(cmd.c_str(), 1, small, sizeof small) != oneLength || strncmp(small, one, 3) != 0)
        abort();

    bool quiet = false;
    const bool restarted = (size & 1) != 0;
    const RunMode mode = decideRunMode(path.c_str(), one, two, restarted, &quiet);
    if ((mode == RunUninstall) != (containsNoCase(one, "uNiNsTaLl") != nullptr))
        abort();
    if (mode == RunGame ? quiet : restarted && !quiet)
        abort();   // a game is never quiet, a restart always
    // Setup.exe installs as it always has; a browser's number only adds names, each with Setup and .exe.
    const bool setup = namesSetup(path.c_str());
    if ((containsNoCase(path.c_str(), "sEtUp.ExE") && !setup) ||
        (setup && (!containsNoCase(path.c_str(), "setup") || !containsNoCase(path.c_str(), ".exe"))))
        abort();
    const char *found = containsNoCase(cmd.c_str(), one);
    if (found == nullptr && oneLength != 0 && strchr(cmd.c_str(), '"') == nullptr)
        abort();   // without quotes an argument stands in the command line as it is

    // A restart hands both arguments on: split again behind the program's name, they come back as they
    // were, followed by the mark.
    const unsigned long starter = static_cast<uint32_t>(size * 2654435761u);   // a process id: 32 bits
    std::string restart(oneLength + twoLength + 48, '\0'), back(restart.size(), '\0');
    if (!restartArguments(one, two, starter, &restart[0], restart.size()))
        abort();
    restart = "nxl.exe " + restart;
    for (int index = 1; index <= 3; ++index) {
        commandLineArgument(restart.c_str(), index, &back[0], back.size());
        if (index == 3 ? !isRestartMark(back.c_str()) : strcmp(back.c_str(), index == 1 ? one : two) != 0)
            abort();
    }
    free(one);
    free(two);
    return 0;
}
