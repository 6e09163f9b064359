// fuzz_locations.cpp: any paths through the shortcut's working-directory rule, the removal command and
// the uninstall strings: bounded writes, and texts that keep their pieces.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "setup/locations.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string all(reinterpret_cast<const char *>(data), size);
    const size_t cut = all.find('\n');
    const std::string a = all.substr(0, cut).c_str();
    const std::string b = cut == std::string::npos ? "" : all.substr(cut + 1).c_str();

    char directory[PathCapacity];
    shortcutWorkingDirectory(a.c_str(), b.c_str(), directory, sizeof directory);
    const size_t length = strlen(directory);
    if (length >= sizeof directory)
        abort();
    const std::string source = !a.empty() && a != "\"" ? (a[0] == '"' ? a.substr(1) : a) : b;
    if (source.compare(0, length, directory) != 0)
        abort();   // always a prefix of the given folder or of the target

    char command[RemovalCommandCapacity];
    if (removalCommand(a.c_str(), b.c_str(), command, sizeof command)) {
        const std::string text = command, last = "RD \"" + b + "\"";
        if (text.rfind("/d /e:on /v:off /c RD /S /Q \"" + a + "\\nxl\" & (", 0) != 0 || text.size() < last.size() ||
            text.compare(text.size() - last.size(), last.size(), last) != 0)
            abort();
    } else if (command[0] != '\0' || 2 * a.size() + 5 * b.size() + 200 < sizeof command) {
        abort();
    }

    char uninstall[PathCapacity + 32];
    if (uninstallCommand(a.c_str(), true, uninstall, sizeof uninstall) &&
        std::string(uninstall) != "\"" + a + "\" /Uninstall /Quiet")
        abort();

    char path[PathCapacity] = "C:\\";
    const bool fits = appendPath(path, sizeof path, a.c_str());
    if (fits != (3 + a.size() < sizeof path) || (!fits && strcmp(path, "C:\\") != 0))
        abort();
    return 0;
}
