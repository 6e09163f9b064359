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

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool startsWithNoCase(const char *text, const char *prefix)
{
    for (; *prefix != '\0'; ++text, ++prefix)
        if (fold(*text) != fold(*prefix))
            return false;   // also at the end of text, whose zero matches no byte of the prefix
    return true;
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

bool namesSetup(const char *modulePath)
{
    for (const char *at = containsNoCase(modulePath, "Setup"); at != nullptr; at = containsNoCase(at + 1, "Setup")) {
        const char *end = at + 5;   // behind "Setup", or behind a browser's number that follows it
        const char *p = *end == ' ' ? end + 1 : end;
        if (*p == '(' && isDigit(p[1])) {
            for (p += 2; isDigit(*p); ++p) {
            }
            if (*p == ')')
                end = p + 1;
        }
        if (startsWithNoCase(end, ".exe"))
            return true;
    }
    return false;
}

RunMode decideRunMode(const char *modulePath, const char *argument1, const char *argument2, bool restarted,
                      bool *quiet)
{
    if (containsNoCase(argument1, "Uninstall")) {
        *quiet = restarted || containsNoCase(argument2, "Quiet") != nullptr;
        return RunUninstall;
    }
    if (namesSetup(modulePath)) {
        *quiet = restarted || containsNoCase(argument1, "-S") != nullptr || containsNoCase(argument1, "/S") != nullptr;
        return RunInstall;
    }
    *quiet = false;
    return RunGame;
}

bool isRestartMark(const char *argument3)
{
    if (!startsWithNoCase(argument3, RestartMark))
        return false;
    const char *p = argument3 + strlen(RestartMark);
    size_t digits = 0;
    for (; isDigit(*p); ++p)
        ++digits;
    // A process id has at most ten digits.
    return *p == '\0' && digits >= 1 && digits <= 10;
}
