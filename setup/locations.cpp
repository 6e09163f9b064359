// locations.cpp: installation places and the texts formed from them.
#include "setup/locations.h"

const char VendorFolderTemplate[] = "%ProgramFiles(x86)%\\Orvane";
const char VendorFolderFallbackTemplate[] = "%ProgramFiles%\\Orvane";
const char StartMenuProgramsTemplate[] = "%ALLUSERSPROFILE%\\Microsoft\\Windows\\Start Menu\\Programs";
const char UninstallKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Noxel";
const char RestartMark[] = "/Restarted:";

namespace {

size_t textLength(const char *text)
{
    size_t n = 0;
    while (text[n] != '\0')
        ++n;
    return n;
}

// Joins the pieces into out; false, and out empty, when they do not fit.
bool joinTexts(char *out, size_t outSize, const char *const *pieces, int count)
{
    if (outSize == 0)
        return false;
    out[0] = '\0';
    for (int i = 0; i < count; ++i) {
        if (!appendPath(out, outSize, pieces[i])) {
            out[0] = '\0';
            return false;
        }
    }
    return true;
}

// Appends value in decimal, with leading zeros up to minDigits; false, and out unchanged, when it does
// not fit.
bool appendDecimal(char *out, size_t outSize, unsigned long value, int minDigits)
{
    char digits[24];
    char *p = digits + sizeof digits;
    *--p = '\0';
    for (int count = 1;; ++count) {
        *--p = static_cast<char>('0' + value % 10);
        value /= 10;
        if (value == 0 && count >= minDigits)
            break;
    }
    return appendPath(out, outSize, p);
}

}  // namespace

bool appendPath(char *out, size_t outSize, const char *text)
{
    const size_t have = textLength(out), add = textLength(text);
    if (have + add + 1 > outSize)
        return false;
    for (size_t i = 0; i <= add; ++i)
        out[have + i] = text[i];
    return true;
}

void shortcutWorkingDirectory(const char *given, const char *target, char *out, size_t outSize)
{
    if (outSize == 0)
        return;
    if (given == nullptr)
        given = "";
    if (given[0] == '"')
        ++given;   // only a leading quote goes; a closing one stays
    const char *source = given;
    size_t length = textLength(given);
    if (length == 0) {
        source = target;
        length = textLength(target);
        for (size_t i = length; i > 1; --i) {
            if (target[i - 1] == '\\') {
                length = i - 1;
                break;
            }
        }
    }
    if (length >= outSize)
        length = outSize - 1;
    for (size_t i = 0; i < length; ++i)
        out[i] = source[i];
    out[length] = '\0';
}

bool removalCommand(const char *startMenuVendorFolder, const char *programVendorFolder, char *out, size_t outSize)
{
    // Also run against Wine's cmd, which splits a FOR body at "&" unless the body stands in parentheses,
    // and whose RD /S stops at the first file in use. ping is the delay: timeout and choice need a
    // console (and Wine has neither); the second echo reply comes a second after the first. Without
    // extensions "for /l" is an error; with delayed expansion a "!" in a path is lost.
    const char *const menu = startMenuVendorFolder, *const programs = programVendorFolder;
    const char *const pieces[] = {
        "/d /e:on /v:off /c RD /S /Q \"", menu, "\\nxl\" & (for /l %i in (1,1,30) do (if exist \"", programs,
        "\\nxl\" (RD /S /Q \"", programs, "\\nxl\" & if exist \"", programs,
        "\\nxl\" ping -n 2 127.0.0.1 >nul))) & RD \"", menu, "\" & RD \"", programs, "\""};
    return joinTexts(out, outSize, pieces, sizeof pieces / sizeof pieces[0]);
}

bool uninstallCommand(const char *installedExePath, bool quiet, char *out, size_t outSize)
{
    const char *const pieces[] = {"\"", installedExePath, "\" /Uninstall", " /Quiet"};
    return joinTexts(out, outSize, pieces, quiet ? 4 : 3);
}

bool restartArguments(const char *argument1, const char *argument2, unsigned long starter, char *out,
                      size_t outSize)
{
    const char *const pieces[] = {"\"", argument1, "\" \"", argument2, "\" ", RestartMark};
    if (!joinTexts(out, outSize, pieces, 6))
        return false;
    if (appendDecimal(out, outSize, starter, 1))
        return true;
    out[0] = '\0';
    return false;
}

void formatInstallDate(unsigned year, unsigned month, unsigned day, char *out)
{
    out[0] = '\0';
    appendDecimal(out, 16, year, 4);
    appendDecimal(out, 16, month % 100, 2);
    appendDecimal(out, 16, day % 100, 2);
}
