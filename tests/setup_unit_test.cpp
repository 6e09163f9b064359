// setup_unit_test.cpp: the installer's helpers on the platform (paths, the date text, the program folder) and
// setup runs through the faked system: no rights, elevation refused or its outcome, the removal, a running game.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "setup/common.h"
#include "setup/install.h"
#include "setup/locations.h"
#include "setup/uninstall.h"
#include "tests/fake_system.h"
#include "tests/utf8.h"

namespace {

// An expansion past 511 characters, or an unknown name, leaves the path as it was, not cut.
TEST(ExpandEnvInPlace, ExpandsOrLeavesThePathWhole)
{
    const std::string x500(500, 'x'), x600(600, 'x'), unchanged = "%NOXEL_VALUE%\\nxl";
    const struct { const char *value; std::string expected; } cases[] = {   // a null value: not set
        {"C:\\short", "C:\\short\\nxl"}, {x500.c_str(), x500 + "\\nxl"}, {x600.c_str(), unchanged},
        {nullptr, unchanged}};
    for (const auto &c : cases) {
        SetEnvironmentVariableA("NOXEL_VALUE", c.value);
        char path[PathCapacity];
        lstrcpyA(path, unchanged.c_str());
        expandEnvInPlace(path);
        EXPECT_EQ(path, c.expected);
    }
}

TEST(VendorFolder, FallsBackToProgramFilesWithoutTheX86Folder)
{
    char saved[PathCapacity] = "", path[PathCapacity];
    const DWORD had = GetEnvironmentVariableA("ProgramFiles(x86)", saved, sizeof saved);
    SetEnvironmentVariableA("ProgramFiles", "C:\\PF");
    for (const char *x86 : {"C:\\PF86", static_cast<const char *>(nullptr)}) {
        SetEnvironmentVariableA("ProgramFiles(x86)", x86);
        formVendorFolder(path);
        EXPECT_EQ(std::string(path), std::string(x86 ? x86 : "C:\\PF") + "\\Orvane");
    }
    SetEnvironmentVariableA("ProgramFiles(x86)", had ? saved : nullptr);
}

// From the fields whatever the locale's calendar (a Thai Windows counts 2569 for 2026).
TEST(InstallDate, EightGregorianDigitsWhateverTheCalendar)
{
    char date[16];
    formatInstallDate(2026, 12, 8, date);
    EXPECT_STREQ(date, "20261208");
    formatInstallDate(30827, 1, 31, date);   // the last year a SYSTEMTIME holds
    EXPECT_STREQ(date, "308270131");
}

bool exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Setup runs against an installation in a folder of their own, which the locations' variables point to.
class SetupRuns : public ::testing::Test {
protected:
    void SetUp() override
    {
        char here[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, here);
        root = std::string(here) + "\\setup-unit";
        const std::string values[2] = {root + "\\pf", root};
        for (int i = 0; i < 2; ++i) {
            GetEnvironmentVariableA(Variables[i], saved[i], MAX_PATH);
            SetEnvironmentVariableA(Variables[i], values[i].c_str());
        }
        std::error_code made;
        std::filesystem::create_directories(programFolder(), made);
        std::filesystem::create_directories(startMenuFolder(), made);
        CloseHandle(CreateFileA(shortcut().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        fakesys::reset();
        GetModuleFileNameW(nullptr, setupRun.modulePathW, ArgumentCapacity);
        lstrcpyA(setupRun.argument1, "/S");
        setupRun.restarted = false;
    }
    void TearDown() override
    {
        DeleteFileA(shortcut().c_str());
        SetFileAttributesA(installed().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::error_code ignored;   // with the files renamed aside that a failed run left
        std::filesystem::remove_all(programFolder(), ignored);
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, UninstallKeyPath, KEY_WOW64_32KEY, 0);
        for (int i = 0; i < 2; ++i)
            SetEnvironmentVariableA(Variables[i], saved[i][0] != '\0' ? saved[i] : nullptr);
    }
    std::string programFolder() const { return root + "\\pf\\Orvane\\nxl"; }
    std::string installed() const { return programFolder() + "\\nxl.exe"; }
    std::string startMenuFolder() const { return root + "\\Microsoft\\Windows\\Start Menu\\Programs\\Orvane\\nxl"; }
    std::string shortcut() const { return startMenuFolder() + "\\Noxel.lnk"; }
    static std::string openEntry() { return "RegOpenKeyExA " + std::string(UninstallKeyPath) + " 10200"; }   // DELETE, 32-bit view
    std::string restartCall(const char *arguments) const
    {
        const unsigned long mask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOZONECHECKS | SEE_MASK_NOASYNC |
                                   SEE_MASK_FLAG_NO_UI;
        return fakesys::restartRecord(mask, "runas", utf8(setupRun.modulePathW),
                                      std::string(arguments) + " /Restarted:" + std::to_string(GetCurrentProcessId()));
    }

    static constexpr const char *Variables[2] = {"ProgramFiles(x86)", "ALLUSERSPROFILE"};
    std::string root;
    char saved[2][MAX_PATH] = {};
};

// A run without the rights hands its work to one elevated, quiet run, waited for a minute, and ends with
// its code; a refusal or a run that outlasts the wait changes it. A restart, or an elevated run, ends at once.
TEST_F(SetupRuns, TheElevatedRunsOutcomeIsTheOutcome)
{
    const std::wstring program = setupRun.modulePathW;
    const std::string zoneMark = "DeleteFileW " + installed() + ":Zone.Identifier";   // once copied
    struct Case {
        bool install, starts;
        DWORD waited, code;
        int expected;
        LONG entry = ERROR_ACCESS_DENIED;   // the uninstall entry, without the rights to delete (or write) it
        bool restarted = false, elevated = false;
        bool copied = false;                // and then, but for the entry, the shortcut refused
    } cases[] = {
        {true, true, WAIT_OBJECT_0, 0, 0},     {true, true, WAIT_OBJECT_0, 1, 1},
        {true, true, WAIT_TIMEOUT, 0, 1},      {true, false, WAIT_OBJECT_0, 0, 1},
        {false, true, WAIT_OBJECT_0, 3, 3},    {false, true, WAIT_OBJECT_0, 4, 4},
        {false, true, WAIT_TIMEOUT, 3, 4},     {false, true, WAIT_FAILED, 3, 4},
        {false, false, WAIT_OBJECT_0, 3, 2},
        // Any code is passed on, also one that reads as negative: it is no refusal.
        {false, true, WAIT_OBJECT_0, 0xFFFFFFFF, -1}, {true, true, WAIT_OBJECT_0, 0xC0000005, static_cast<int>(0xC0000005)},
        {false, true, WAIT_OBJECT_0, 3, 3, ERROR_FILE_NOT_FOUND},   // no entry, but the program folder left behind
        {true, true, WAIT_OBJECT_0, 0, 1, ERROR_ACCESS_DENIED, true}, {true, true, WAIT_OBJECT_0, 0, 1, ERROR_ACCESS_DENIED, false, true},
        {false, true, WAIT_OBJECT_0, 0, 4, ERROR_ACCESS_DENIED, true},
        {true, true, WAIT_OBJECT_0, 0, 0, ERROR_ACCESS_DENIED, false, false, true},   // the entry refused
        {true, true, WAIT_OBJECT_0, 0, 0, ERROR_SUCCESS, false, false, true},         // the shortcut refused
        {true, true, WAIT_OBJECT_0, 0, 1, ERROR_ACCESS_DENIED, true, false, true},    // refused to the restart too
        {true, true, WAIT_OBJECT_0, 0, 1, ERROR_ACCESS_DENIED, false, true, true},    // and to an elevated run
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.install << c.starts << c.restarted << c.elevated << c.copied << " "
                                          << c.waited << " " << c.code << " " << c.entry);
        fakesys::reset();
        fakesys::entryOpenResult = c.entry;
        fakesys::elevationStarts = c.starts;
        fakesys::waitResult = c.waited;
        fakesys::exitCode = c.code;
        fakesys::elevated = c.elevated;
        setupRun.restarted = c.restarted;
        lstrcpyW(setupRun.modulePathW, (program + (c.copied ? L"" : L".missing")).c_str());   // the copy fails
        if (c.copied && DeleteFileA(shortcut().c_str()))
            CreateDirectoryA(shortcut().c_str(), nullptr);   // no link is saved over it: access denied
        EXPECT_EQ(c.install ? installProgram(true) : uninstallProgram(true), c.expected);
        if (RemoveDirectoryA(shortcut().c_str()))
            CloseHandle(CreateFileA(shortcut().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        std::vector<std::string> expected = {c.install ? "CopyFileW " + installed() : openEntry()};
        if (c.copied)
            expected.push_back(zoneMark);
        if (!c.restarted && !c.elevated)
            expected.push_back(restartCall(c.install ? "\"/S\" \"\"" : "\"/Uninstall\" \"/Quiet\""));
        if (!c.restarted && !c.elevated && c.starts)
            expected.push_back("WaitForSingleObject 60000");
        EXPECT_EQ(fakesys::calls, expected);
    }
    EXPECT_TRUE(exists(shortcut()));
}

// With the rights, or nothing installed, the entry goes first (32-bit view), then the shortcut; a command
// interpreter without a window removes the folders. An entry that stays keeps everything.
TEST_F(SetupRuns, UninstallDeletesTheEntryThenStartsTheRemoval)
{
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const std::string interpreter = utf8(system) + "\\cmd.exe";
    char parameters[RemovalCommandCapacity];
    removalCommand((root + "\\Microsoft\\Windows\\Start Menu\\Programs\\Orvane").c_str(), (root + "\\pf\\Orvane").c_str(),
                   parameters, sizeof parameters);
    const std::string removal =
        "CreateProcessW " + interpreter + "|\"" + interpreter + "\" " + parameters + "|8000000|" + utf8(system);
    const std::string deleteEntry = "RegDeleteKeyExA " + std::string(UninstallKeyPath) + " 200";   // 32-bit view
    // nxl.exe renamed aside (never scheduled itself); the renamed file, then each folder after what it holds,
    // deleted at the restart (4); the removal last.
    const std::string aside = installed() + "." + std::to_string(GetCurrentProcessId()) + "-0.old",
                      menu = root + "\\Microsoft\\Windows\\Start Menu\\Programs\\Orvane";
    std::vector<std::string> removed = {"MoveFileExA " + installed() + "|" + aside + "|0"};
    for (const std::string &path : {aside, programFolder(), root + "\\pf\\Orvane", menu + "\\nxl", menu})
        removed.push_back("MoveFileExA " + path + "||4");
    removed.push_back(removal);
    const struct {
        LONG opened, deleted;
        int expected;
        bool elevated = true, folder = true;
    } cases[] = {
        {ERROR_SUCCESS, ERROR_SUCCESS, 3},
        {ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND, 3},   // nothing installed: the steps run all the same
        {ERROR_SUCCESS, ERROR_ACCESS_DENIED, 4},
        {ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND, 3, false, false},   // nor are the rights asked for
    };
    for (const auto &c : cases) {
        fakesys::reset();
        fakesys::elevated = c.elevated;
        fakesys::entryOpenResult = c.opened;
        fakesys::entryDeleteResult = c.deleted;
        for (const std::string &file : {shortcut(), installed()})
            CloseHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        if (!c.folder && DeleteFileA(installed().c_str()))
            RemoveDirectoryA(programFolder().c_str());
        EXPECT_EQ(uninstallProgram(true), c.expected);
        std::vector<std::string> expected = {openEntry(), deleteEntry};
        if (c.expected == 3 && c.folder)
            expected.insert(expected.end(), removed.begin(), removed.end());
        else if (c.expected == 3)
            expected.push_back(removal);
        EXPECT_EQ(fakesys::calls, expected);
        EXPECT_EQ(exists(shortcut()), c.expected == 4);
        EXPECT_EQ(DeleteFileA(aside.c_str()) != 0, c.expected == 3 && c.folder);
    }
    EXPECT_NE(removal.find("cmd.exe\" /d /e:on /v:off /c "), std::string::npos);
}

// A reinstall asks a running game to quit and waits; the copy, writable and unmarked, replaces a read-only one.
TEST_F(SetupRuns, InstallWaitsForARunningGameAndLeavesAWritableFile)
{
    CloseHandle(CreateFileA(installed().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, nullptr));
    const std::string source = root + "\\Setup.exe";
    CloseHandle(CreateFileA(source.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_READONLY, nullptr));
    ASSERT_NE(GetFileAttributesA(source.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    MultiByteToWideChar(CP_ACP, 0, source.c_str(), -1, setupRun.modulePathW, ArgumentCapacity);
    const WNDCLASSA gameClass = {0, DefWindowProcA, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "NXL32Cls"};
    RegisterClassA(&gameClass);
    HWND game = CreateWindowA("NXL32Cls", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);

    EXPECT_EQ(installProgram(true), 0);
    MSG posted;
    std::vector<UINT> messages;
    while (PeekMessageA(&posted, game, 0, 0, PM_REMOVE) || PeekMessageA(&posted, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        messages.push_back(posted.message);
    DestroyWindow(game);
    UnregisterClassA("NXL32Cls", nullptr);
    SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(source.c_str());

    EXPECT_EQ(messages, (std::vector<UINT>{WM_QUIT, WM_DESTROY}));
    // Five seconds for the game to end, then the copy.
    EXPECT_EQ(fakesys::calls, (std::vector<std::string>{"WaitForSingleObject 5000", "CopyFileW " + installed(),
                                                        "DeleteFileW " + installed() + ":Zone.Identifier"}));
    ASSERT_TRUE(exists(installed()));
    EXPECT_EQ(GetFileAttributesA(installed().c_str()) & FILE_ATTRIBUTE_READONLY, 0u);

    // A game not found (on another desktop) holds the file: renamed aside past a name taken, the copy made
    // anew, only the renamed file deleted at the restart.
    fakesys::reset();
    fakesys::elevated = true;
    GetModuleFileNameW(nullptr, setupRun.modulePathW, ArgumentCapacity);
    HANDLE running = CreateFileA(installed().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    const std::string aside = installed() + "." + std::to_string(GetCurrentProcessId()) + "-", taken = aside + "0.old";
    CloseHandle(CreateFileA(taken.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    EXPECT_EQ(installProgram(true), 0);
    CloseHandle(running);
    EXPECT_TRUE(DeleteFileA(taken.c_str()) && DeleteFileA((aside + "1.old").c_str()));
    const std::string copy = "CopyFileW " + installed(), moveAside = "MoveFileExA " + installed() + "|" + aside;
    EXPECT_EQ(fakesys::calls, (std::vector<std::string>{copy, moveAside + "0.old|0", moveAside + "1.old|0", copy,
                                                        "MoveFileExA " + aside + "1.old||4",
                                                        "DeleteFileW " + installed() + ":Zone.Identifier"}));
}

}  // namespace
