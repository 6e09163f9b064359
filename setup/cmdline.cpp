// cmdline.cpp: the command line split into words, the case-blind search, and the run-mode table.
#include "setup/cmdline.h"

#include <string.h>

#include "setup/locations.h"

namespace {

bool isSeparator(unsigned char c)
{
    return c >= 1 && c <= 32;
}

char fold(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 0x20) : c;
}

}  // namespace

size_t commandLineArgument(const char *commandLine, int index, char *out, size_t outSize)
{
    const char *p = commandLine;
    size_t length = 0;
    for (int word = 0;; ++word) {
        while (isSeparator(static_cast<unsigned char>(*p)))
            ++p;
        if (*p == '\0')
            break;
        // One word: up to a separator outside quotes or the end of the text.
        bool quoted = false;
        const bool wanted = word == index;
        for (; *p != '\0'; ++p) {
            if (*p == '"') {
                if (p[1] == '"')
                    ++p;   // a doubled quote is dropped and switches nothing
                else
                    quoted = !quoted;
                continue;
            }
            if (!quoted && isSeparator(static_cast<unsigned char>(*p)))
                break;
            if (wanted) {
                if (length + 1 < outSize)
                    out[length] = *p;
                ++length;
            }
        }
        if (wanted)
            break;
    }
    if (outSize != 0)
        out[length < outSize ? length : outSize - 1] = '\0';
    return length;
}

const char *containsNoCase(const char *text, const char *pattern)
{
    size_t n = 0, m = 0;
    while (text[n] != '\0')
        ++n;
    while (pattern[m] != '\0')
        ++m;
    if (m == 0)
        return text + n;   // the empty pattern stands at the end of every text
    for (size_t i = 0; i + m <= n; ++i) {
        size_t k = 0;
        while (k < m && fold(text[i + k]) == fold(pattern[k]))
            ++k;
        if (k == m)
            return text + i;
    }
    return nullptr;
}

RunMode decideRunMode(const char *modulePath, const char *argument1, const char *argument2, bool *quiet)
{
    if (containsNoCase(argument1, "Uninstall")) {
        *quiet = containsNoCase(argument2, "Quiet") != nullptr;
        return RunUninstall;
    }
    if (containsNoCase(modulePath, "Setup.exe")) {
        *quiet = containsNoCase(argument1, "-S") != nullptr || containsNoCase(argument1, "/S") != nullptr;
        return RunInstall;
    }
    *quiet = false;
    return RunGame;
}

bool parseRestartMark(const char *argument3, unsigned long *starter)
{
    if (containsNoCase(argument3, RestartMark) != argument3)
        return false;
    const char *p = argument3 + strlen(RestartMark);
    if (*p < '0' || *p > '9')
        return false;
    unsigned long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        const unsigned long next = value * 10 + static_cast<unsigned long>(*p - '0');
        if (next / 10 != value)
            return false;   // more than a process id can be
        value = next;
    }
    if (*p != '\0')
        return false;
    *starter = value;
    return true;
}
