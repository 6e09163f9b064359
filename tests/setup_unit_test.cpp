// setup_unit_test.cpp: the installer's helpers on the platform (expanding paths in place, registry values
// in the 32-bit view, the date text, the program folder where 32-bit Windows lacks the (x86) folder), and
// the setup runs where the system refuses: no rights, elevation refused, a restart that changed nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "setup/common.h"
#include "setup/install.h"
#include "setup/locations.h"
#include "setup/uninstall.h"
#include "tests/fake_system.h"
#include "tests/utf8.h"

namespace {

TEST(ExpandEnvInPlace, ExpandsOrLeavesThePathWhole)
{
    SetEnvironmentVariableA("NOXEL_SHORT", "C:\\short");
    char path[PathCapacity] = "%NOXEL_SHORT%\\nxl";
    expandEnvInPlace(path);
    EXPECT_STREQ(path, "C:\\short\\nxl");

    // An expansion longer than 511 characters does not fit: the path stays as it was, not cut.
    SetEnvironmentVariableA("NOXEL_LONG", std::string(600, 'x').c_str());
    char longPath[PathCapacity] = "%NOXEL_LONG%\\nxl";
    expandEnvInPlace(longPath);
    EXPECT_STREQ(longPath, "%NOXEL_LONG%\\nxl");
    SetEnvironmentVariableA("NOXEL_LONG", std::string(500, 'x').c_str());
    expandEnvInPlace(longPath);
    EXPECT_EQ(std::string(longPath), std::string(500, 'x') + "\\nxl");

    // An unknown variable stays as written.
    char unknown[PathCapacity] = "%NOXEL_NOT_SET%\\a";
    expandEnvInPlace(unknown);
    EXPECT_STREQ(unknown, "%NOXEL_NOT_SET%\\a");
}

TEST(VendorFolder, FallsBackToProgramFilesWithoutTheX86Folder)
{
    char saved[PathCapacity] = "";
    const DWORD had = GetEnvironmentVariableA("ProgramFiles(x86)", saved, sizeof saved);
    char path[PathCapacity];
    SetEnvironmentVariableA("ProgramFiles(x86)", "C:\\PF86");
    formVendorFolder(path);
    EXPECT_STREQ(path, "C:\\PF86\\Orvane");
    SetEnvironmentVariableA("ProgramFiles(x86)", nullptr);
    SetEnvironmentVariableA("ProgramFiles", "C:\\PF");
    formVendorFolder(path);
    EXPECT_STREQ(path, "C:\\PF\\Orvane");
    SetEnvironmentVariableA("ProgramFiles(x86)", had ? saved : nullptr);
}

// HKEY_LOCAL_MACHINE\SOFTWARE has two views for a 64-bit process (the tests are one); below
// HKEY_CURRENT_USER\Software both views are the same key, so the view is told apart here only.
TEST(Registry, ValuesAreWrittenInThe32BitView)
{
    const char key[] = "SOFTWARE\\NoxelTest";
    ASSERT_TRUE(writeRegString(HKEY_LOCAL_MACHINE, key, "Text", "abc"));
    ASSERT_TRUE(writeRegDword(HKEY_LOCAL_MACHINE, key, "Number", 0x01000000));
    HKEY opened;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | KEY_WOW64_64KEY, &opened), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | KEY_WOW64_32KEY, &opened), ERROR_SUCCESS);
    char text[16];
    DWORD type = 0, size = sizeof text;
    RegQueryValueExA(opened, "Text", nullptr, &type, reinterpret_cast<BYTE *>(text), &size);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 4u);   // with its terminating zero
    EXPECT_STREQ(text, "abc");
    DWORD number = 0;
    size = sizeof number;
    RegQueryValueExA(opened, "Number", nullptr, &type, reinterpret_cast<BYTE *>(&number), &size);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(number, 0x01000000u);
    RegCloseKey(opened);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key, KEY_WOW64_32KEY, 0);
}

TEST(InstallDate, EightGregorianDigitsOfToday)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char expected[16];
    snprintf(expected, sizeof expected, "%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    EXPECT_STREQ(installDateString(), expected);

    // From the fields whatever the locale's calendar (a Thai Windows counts 2569 for 2026).
    char date[16];
    formatInstallDate(2026, 12, 8, date);
    EXPECT_STREQ(date, "20261208");
    formatInstallDate(1601, 1, 1, date);
    EXPECT_STREQ(date, "16010101");
    formatInstallDate(30827, 12, 31, date);   // the last year a SYSTEMTIME holds
    EXPECT_STREQ(date, "308271231");
}

bool exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Setup runs against an installation in a folder of their own: the locations' variables point there,
// and the fake stands for the registry's answer, the shell and the token.
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
        // Every folder along both paths, the last one included.
        for (const std::string &folder : {programFolder() + "\\", startMenuFolder() + "\\"})
            for (size_t at = folder.find('\\', 3); at != std::string::npos; at = folder.find('\\', at + 1))
                CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
        CloseHandle(CreateFileA(shortcut().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        fakesys::reset();
        GetModuleFileNameW(nullptr, setupRun.modulePathW, ArgumentCapacity);
        lstrcpyA(setupRun.argument1, "/S");
        setupRun.restarted = false;
        setupRun.starter = 0;
    }
    void TearDown() override
    {
        DeleteFileA(shortcut().c_str());
        DeleteFileA((programFolder() + "\\nxl.exe").c_str());
        for (int i = 0; i < 2; ++i)
            SetEnvironmentVariableA(Variables[i], saved[i][0] != '\0' ? saved[i] : nullptr);
    }
    std::string programFolder() const { return root + "\\pf\\Orvane\\nxl"; }
    std::string startMenuFolder() const { return root + "\\Microsoft\\Windows\\Start Menu\\Programs\\Orvane\\nxl"; }
    std::string shortcut() const { return startMenuFolder() + "\\Noxel.lnk"; }
    std::string restartCall(const char *arguments) const
    {
        return "ShellExecuteExW runas|" + utf8(setupRun.modulePathW) + "|" + arguments + " /Restarted:" +
               std::to_string(GetCurrentProcessId());
    }

    static constexpr const char *Variables[2] = {"ProgramFiles(x86)", "ALLUSERSPROFILE"};
    std::string root;
    char saved[2][MAX_PATH] = {};
};

// An uninstallation that may not delete the entry changes nothing itself: it hands the removal to one
// elevated run, and a run that is that restart ends with 4.
TEST_F(SetupRuns, UninstallWithoutRightsRestartsOnceAndRemovesNothing)
{
    const std::string openEntry = "RegOpenKeyExA " + std::string(UninstallKeyPath) + " 10200";   // DELETE, 32-bit view
    fakesys::entryOpenResult = ERROR_ACCESS_DENIED;
    EXPECT_EQ(uninstallProgram(true), 3);   // the elevated run has started
    EXPECT_EQ(fakesys::calls, (std::vector<std::string>{openEntry, restartCall("\"/Uninstall\" \"/Quiet\"")}));

    fakesys::reset();
    fakesys::entryOpenResult = ERROR_ACCESS_DENIED;
    fakesys::elevationStarts = false;   // the user said no to the elevation prompt
    EXPECT_EQ(uninstallProgram(true), 2);
    EXPECT_EQ(fakesys::calls.size(), 2u);

    // The restart itself, still without the rights (UAC off, a standard user). Its starter is this very
    // process, which does not end: the wait is bounded.
    fakesys::reset();
    fakesys::entryOpenResult = ERROR_ACCESS_DENIED;
    setupRun.restarted = true;
    setupRun.starter = GetCurrentProcessId();
    const DWORD start = GetTickCount();
    EXPECT_EQ(uninstallProgram(true), 4);
    EXPECT_GE(GetTickCount() - start, static_cast<DWORD>(StarterWaitMilliseconds) - 50);
    EXPECT_EQ(fakesys::calls, std::vector<std::string>{openEntry});
    EXPECT_TRUE(exists(shortcut()));
}

// With the rights, or with nothing installed, the removal runs; a restarted run first waits for its
// starter, whose file it removes.
TEST_F(SetupRuns, UninstallWithRightsWaitsForItsStarterThenRemoves)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION starter;
    ASSERT_TRUE(CreateProcessW(setupRun.modulePathW, nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                               nullptr, &startup, &starter));
    setupRun.restarted = true;
    setupRun.starter = starter.dwProcessId;
    DWORD ended = 0;
    HANDLE ender = CreateThread(nullptr, 0, [](void *process) -> DWORD {
        Sleep(1000);
        // Read before: the waiter may wake, and act, before TerminateProcess has returned here.
        const DWORD ending = GetTickCount();
        TerminateProcess(process, 0);
        return ending;
    }, starter.hProcess, 0, nullptr);
    EXPECT_EQ(uninstallProgram(true), 3);
    WaitForSingleObject(ender, INFINITE);
    GetExitCodeThread(ender, &ended);
    CloseHandle(ender);
    CloseHandle(starter.hThread);
    CloseHandle(starter.hProcess);
    ASSERT_FALSE(fakesys::calls.empty());
    EXPECT_GE(static_cast<LONG>(fakesys::firstCallTick - ended), 0) << "acted before its starter had ended";
    EXPECT_FALSE(exists(shortcut()));
    EXPECT_EQ(fakesys::callsOf("RegDeleteKeyExA").size(), 1u);
    ASSERT_EQ(fakesys::callsOf("ShellExecuteA").size(), 1u);
    EXPECT_NE(fakesys::callsOf("ShellExecuteA")[0].find(" & RD /S /Q \"" + programFolder() + "\""), std::string::npos);
    EXPECT_TRUE(fakesys::callsOf("ShellExecuteExW").empty());

    fakesys::reset();
    fakesys::entryOpenResult = ERROR_FILE_NOT_FOUND;   // nothing installed: the steps run all the same
    setupRun.restarted = false;
    EXPECT_EQ(uninstallProgram(true), 3);
    EXPECT_EQ(fakesys::callsOf("ShellExecuteA").size(), 1u);
}

// The installer restarts elevated once, with its first argument, when the copy fails; a copy that
// succeeds loses the download mark its source may carry.
TEST_F(SetupRuns, InstallerRestartsAtMostOnceAndDropsTheDownloadMark)
{
    const std::wstring program = setupRun.modulePathW;
    lstrcpyW(setupRun.modulePathW, (program + L".missing").c_str());   // the copy fails
    EXPECT_EQ(installProgram(true), 1);
    EXPECT_EQ(fakesys::callsOf("ShellExecuteExW"), std::vector<std::string>{restartCall("\"/S\" \"\"")});

    for (bool restarted : {true, false}) {
        fakesys::reset();
        setupRun.restarted = restarted;
        fakesys::elevated = !restarted;   // elevated already: a restart would fail alike
        EXPECT_EQ(installProgram(true), 1);
        EXPECT_TRUE(fakesys::callsOf("ShellExecuteExW").empty());
    }

    fakesys::reset();
    setupRun.restarted = false;
    lstrcpyW(setupRun.modulePathW, program.c_str());
    const std::string installed = programFolder() + "\\nxl.exe";
    EXPECT_EQ(installProgram(true), 0);
    EXPECT_TRUE(exists(installed));
    EXPECT_EQ(fakesys::calls, std::vector<std::string>{"DeleteFileW " + installed + ":Zone.Identifier"});
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, UninstallKeyPath, KEY_WOW64_32KEY, 0);
}

}  // namespace
