// setup_driver_test.cpp: installing and uninstalling with the real executable in the test prefix: exit
// codes, boxes, the installed file, the uninstall entry, the shortcut, and a running game closed.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <string>

#include "tests/box_texts.h"
#include "tests/driver/nxl_driver.h"
#include "tests/utf8.h"

using driver::Box;
using driver::Game;

namespace {

const wchar_t UninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Noxel";

std::wstring expand(const wchar_t *text)
{
    wchar_t out[1024];
    ExpandEnvironmentStringsW(text, out, 1024);
    return out;
}

const std::wstring ProgramFolder = expand(L"%ProgramFiles(x86)%\\Orvane\\nxl");
const std::wstring InstalledExe = ProgramFolder + L"\\nxl.exe";
const std::wstring StartMenuFolder = expand(L"%ALLUSERSPROFILE%\\Microsoft\\Windows\\Start Menu\\Programs\\Orvane\\nxl");
const std::wstring Shortcut = StartMenuFolder + L"\\Noxel.lnk";

bool exists(const std::wstring &path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string contents(const std::wstring &path)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string data;
    if (h == INVALID_HANDLE_VALUE)
        return data;
    char buffer[65536];
    DWORD got;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0)
        data.append(buffer, got);
    CloseHandle(h);
    return data;
}

void removeTree(const std::wstring &folder)
{
    const std::wstring from = folder + L'\0';   // the shell takes a list ended by an empty name
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    SHFileOperationW(&operation);
}

bool entryExists(REGSAM view = KEY_WOW64_32KEY)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void cleanInstallation()
{
    removeTree(ProgramFolder);
    removeTree(StartMenuFolder);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, UninstallKey, KEY_WOW64_32KEY, 0);
}

// Runs the program with the arguments and returns its exit code.
DWORD run(const std::wstring &exe, const std::wstring &arguments)
{
    Game process(arguments, exe, false);
    return process.waitExit(15000 + driver::startTimeout());
}

// A copy of the program under another name, in a folder of its own beside the driver.
std::wstring copyAs(const wchar_t *name, const wchar_t *subfolder = L"")
{
    std::wstring folder = driver::exeFolder() + L"\\setup-test";
    CreateDirectoryW(folder.c_str(), nullptr);
    if (*subfolder != L'\0')
        CreateDirectoryW((folder += L"\\" + std::wstring(subfolder)).c_str(), nullptr);
    const std::wstring path = folder + L"\\" + name;
    CopyFileW(driver::program().c_str(), path.c_str(), FALSE);
    return path;
}

// Waits for the hidden command interpreter of an uninstallation to remove the path.
bool waitGone(const std::wstring &path)
{
    return driver::waitUntil([&] { return !exists(path); }, 15000 + driver::startTimeout());
}

int processesNamed(const wchar_t *name)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    int n = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        n += lstrcmpiW(entry.szExeFile, name) == 0;
    CloseHandle(snapshot);
    return n;
}

// The list of installed programs as Wine's own Add/Remove Programs prints it (uninstaller --list),
// one "key|||name" line per uninstall entry.
std::string installedPrograms()
{
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    std::string list;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0))
        return list;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = writeEnd;
    wchar_t command[] = L"uninstaller.exe --list";
    PROCESS_INFORMATION info;
    const BOOL started = CreateProcessW(nullptr, command, nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                                        &startup, &info);
    CloseHandle(writeEnd);
    if (started) {
        char buffer[4096];
        DWORD got;
        while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
            list.append(buffer, got);
        WaitForSingleObject(info.hProcess, 10000);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    CloseHandle(readEnd);
    return list;
}

struct Value {
    DWORD type = 0;
    std::string data;
};

std::vector<std::pair<std::string, Value>> entryValues()
{
    std::vector<std::pair<std::string, Value>> values;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[2048];
        DWORD nameLength = sizeof name, dataLength = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS)
            break;
        values.push_back({name, Value{type, std::string(reinterpret_cast<char *>(data), dataLength)}});
    }
    RegCloseKey(key);
    return values;
}

std::string sz(const std::string &text)
{
    return text + std::string(1, '\0');
}

std::string dword(DWORD value)
{
    return std::string(reinterpret_cast<const char *>(&value), 4);
}

std::string today()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[16];
    snprintf(text, sizeof text, "%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    return text;
}

struct Link {
    std::wstring target, arguments, directory, description;
    int show = -1;
};

Link readShortcut(const std::wstring &path)
{
    Link link;
    CoInitialize(nullptr);
    IShellLinkW *shell = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void **>(&shell)))) {
        IPersistFile *file = nullptr;
        shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file));
        if (file != nullptr && SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
            wchar_t text[1024];
            shell->GetPath(text, 1024, nullptr, SLGP_RAWPATH);
            link.target = text;
            shell->GetArguments(text, 1024);
            link.arguments = text;
            shell->GetWorkingDirectory(text, 1024);
            link.directory = text;
            shell->GetDescription(text, 1024);
            link.description = text;
            shell->GetShowCmd(&link.show);
        }
        if (file != nullptr)
            file->Release();
        shell->Release();
    }
    CoUninitialize();
    return link;
}

class Setup : public ::testing::Test {
protected:
    void SetUp() override { cleanInstallation(); }
    // An uninstallation's command interpreter outlives it: on a slow run it would remove what the next
    // test installs.
    void TearDown() override
    {
        const bool ended =
            driver::waitUntil([] { return processesNamed(L"cmd.exe") == 0; }, 15000 + driver::startTimeout());
        EXPECT_TRUE(ended) << "an uninstallation's command interpreter still runs";
        cleanInstallation();
    }
};

// From a download folder whose name the ANSI code page cannot spell (1252 here, as in Western Europe).
TEST_F(Setup, QuietInstallWritesFileEntryAndShortcut)
{
    const std::wstring setup = copyAs(L"Setup.exe", L"Micha\x0142 \x0141\x00F3d\x017A \x6771\x4EAC");
    ASSERT_EQ(run(setup, L"/S"), 0u);

    EXPECT_EQ(contents(InstalledExe), contents(setup));
    const std::string exe = utf8(InstalledExe.c_str());
    using Values = std::vector<std::pair<std::string, Value>>;
    const Values values = entryValues();
    const Values expected = {
        {"DisplayName", {REG_SZ, sz("Noxel")}},
        {"DisplayIcon", {REG_SZ, sz(exe)}},
        {"DisplayVersion", {REG_SZ, sz("v1.0.0.0")}},
        {"Version", {REG_DWORD, dword(0x01000000)}},
        {"EstimatedSize", {REG_DWORD, dword(60)}},
        {"InstallDate", {REG_SZ, sz(today())}},
        {"NoModify", {REG_DWORD, dword(1)}},
        {"NoRepair", {REG_DWORD, dword(1)}},
        {"UninstallString", {REG_SZ, sz("\"" + exe + "\" /Uninstall")}},
        {"QuietUninstallString", {REG_SZ, sz("\"" + exe + "\" /Uninstall /Quiet")}},
        {"Publisher", {REG_SZ, sz("Ilvo Orvane")}},
    };
    // Wine lists a key's values by name, so they are compared by name.
    ASSERT_EQ(values.size(), 12u);
    auto find = [&](const std::string &name) {
        for (const auto &v : values)
            if (v.first == name)
                return v.second;
        return Value{};
    };
    for (const auto &want : expected) {
        const Value got = find(want.first);
        EXPECT_EQ(got.type, want.second.type) << want.first;
        EXPECT_EQ(got.data, want.second.data) << want.first;
    }
    EXPECT_EQ(find("URLInfoAbout").type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(find("URLInfoAbout").data.rfind("https://", 0), 0u);
    // The entry lives in the 32-bit view only, and the system's list of programs shows it.
    EXPECT_FALSE(entryExists(KEY_WOW64_64KEY));
    EXPECT_NE(installedPrograms().find("Noxel|||Noxel"), std::string::npos) << installedPrograms();

    const Link link = readShortcut(Shortcut);
    EXPECT_EQ(link.target, InstalledExe);
    EXPECT_EQ(link.arguments, L"");
    EXPECT_EQ(link.directory, ProgramFolder);
    EXPECT_EQ(link.description, L"Noxel Spiel/Game");
    EXPECT_EQ(link.show, SW_SHOWNORMAL);

    // The installed copy plays, and an installation over it refreshes it.
    {
        Game installed(L"", InstalledExe);
        EXPECT_NE(installed.window(), nullptr) << installed.startFailure();
    }
    DeleteFileW(Shortcut.c_str());
    ASSERT_EQ(run(setup, L"-s"), 0u);
    EXPECT_TRUE(exists(Shortcut));
    EXPECT_EQ(entryValues().size(), 12u);
}

TEST_F(Setup, InstallAsksAndDecliningLeavesNothing)
{
    const std::wstring setup = copyAs(L"MySetup.exe");
    for (int answer : {IDNO, IDCANCEL}) {
        Game installer(L"/Quiet", setup, false);
        const Box box = installer.waitBox(driver::startTimeout());
        ASSERT_EQ(box.shown(), expectedBox(BoxInstall));
        EXPECT_EQ(box.buttons, (std::vector<std::wstring>{L"&Yes", L"&No", L"Cancel"}));
        EXPECT_EQ(box.defaultButton, L"&Yes");
        installer.answer(box, answer);
        EXPECT_EQ(installer.waitExit(), 0u);
        EXPECT_FALSE(exists(ProgramFolder));
        EXPECT_FALSE(exists(StartMenuFolder));
        EXPECT_FALSE(entryExists());
    }
    Game installer(L"", setup, false);
    installer.answer(installer.waitBox(driver::startTimeout()), IDYES);
    EXPECT_EQ(installer.waitExit(15000), 0u);
    EXPECT_TRUE(exists(InstalledExe));
}

TEST_F(Setup, UninstallAsksThenRemovesAllButTheVendorFolders)
{
    ASSERT_EQ(run(copyAs(L"Setup.exe"), L"/S"), 0u);
    // A file added after the installation goes with its folder.
    CloseHandle(CreateFileW((ProgramFolder + L"\\extra.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));

    {
        Game uninstaller(L"/Uninstall", InstalledExe, false);
        const Box box = uninstaller.waitBox(driver::startTimeout());
        ASSERT_EQ(box.shown(), expectedBox(BoxUninstall));
        EXPECT_EQ(box.defaultButton, L"&No");
        uninstaller.answer(box, IDNO);
        EXPECT_EQ(uninstaller.waitExit(), 2u);
    }
    EXPECT_TRUE(exists(Shortcut));
    EXPECT_TRUE(entryExists());

    // The registered quiet command, as the system's list of programs would start it.
    ASSERT_EQ(run(InstalledExe, L"/Uninstall /Quiet"), 3u);
    EXPECT_FALSE(exists(Shortcut));
    EXPECT_FALSE(entryExists());
    EXPECT_EQ(installedPrograms().find("Noxel|||"), std::string::npos);
    EXPECT_TRUE(waitGone(ProgramFolder));
    EXPECT_TRUE(waitGone(StartMenuFolder));
    EXPECT_TRUE(exists(expand(L"%ProgramFiles(x86)%\\Orvane")));
    EXPECT_TRUE(exists(expand(L"%ALLUSERSPROFILE%\\Microsoft\\Windows\\Start Menu\\Programs\\Orvane")));
}

// Wine's list of installed programs starts the registered UninstallString itself, as Windows does.
TEST_F(Setup, TheSystemsListOfProgramsRemovesItAfterTheQuestion)
{
    ASSERT_EQ(run(copyAs(L"Setup.exe"), L"/S"), 0u);
    Game list(L"--remove Noxel", expand(L"%SystemRoot%\\system32\\uninstaller.exe"), false);
    const Box box = driver::waitBox([] { return FindWindowW(L"#32770", L"Uninstall"); }, driver::startTimeout());
    ASSERT_EQ(box.shown(), expectedBox(BoxUninstall));
    list.answer(box, IDYES);
    EXPECT_TRUE(waitGone(ProgramFolder));
    EXPECT_FALSE(exists(Shortcut));
    EXPECT_FALSE(entryExists());
}

TEST_F(Setup, SetupWithUninstallUninstallsAndQuietFirstPlays)
{
    const std::wstring setup = copyAs(L"Setup.exe");
    ASSERT_EQ(run(setup, L"/S"), 0u);
    ASSERT_EQ(run(setup, L"/Uninstall /Quiet"), 3u);
    EXPECT_FALSE(entryExists());
    EXPECT_TRUE(waitGone(ProgramFolder));

    Game game(L"/Quiet /Uninstall");
    EXPECT_NE(game.window(), nullptr) << game.startFailure();
}

TEST_F(Setup, InstallAndUninstallEndARunningGame)
{
    const std::wstring setup = copyAs(L"Setup.exe");
    {
        Game game;
        ASSERT_NE(game.window(), nullptr) << game.startFailure();
        EXPECT_EQ(run(setup, L"/S"), 0u);
        EXPECT_EQ(game.waitExit(5000), 0u);
    }
    {
        Game game;
        ASSERT_NE(game.window(), nullptr) << game.startFailure();
        EXPECT_EQ(run(InstalledExe, L"/Uninstall /Quiet"), 3u);
        EXPECT_EQ(game.waitExit(5000), 0u);
    }
    EXPECT_TRUE(waitGone(ProgramFolder));
}

TEST_F(Setup, FailedCopyEndsWithOneAndRestartsNothing)
{
    const std::wstring setup = copyAs(L"Setup.exe");
    ASSERT_EQ(run(setup, L"/S"), 0u);
    // The installed file held open without sharing: the copy over it fails. The installer here already
    // has administrator rights (as under Wine), so a restart would fail alike: it ends with 1.
    HANDLE held = CreateFileW(InstalledExe.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(run(setup, L"/S"), 1u);
    // The shell creates a restart before it returns, so it would be there now.
    EXPECT_EQ(processesNamed(L"Setup.exe"), 0);
    CloseHandle(held);
}

TEST_F(Setup, UninstallWithNothingInstalledStillEnds)
{
    EXPECT_EQ(run(copyAs(L"nxl.exe"), L"-UNINSTALL quiet"), 3u);
}

// Run with a German LC_ALL (a test of its own).
TEST(German, SetupQuestionsComeInGerman)
{
    Game uninstaller(L"/uninstall", driver::program(), false);
    const Box box = uninstaller.waitBox(driver::startTimeout());
    ASSERT_EQ(box.shown(), expectedBox(BoxUninstall, true));
    uninstaller.answer(box, IDCANCEL);
    EXPECT_EQ(uninstaller.waitExit(), 2u);

    Game installer(L"", copyAs(L"Setup.exe"), false);
    const Box question = installer.waitBox(driver::startTimeout());
    ASSERT_EQ(question.shown(), expectedBox(BoxInstall, true));
    installer.answer(question, IDNO);
    EXPECT_EQ(installer.waitExit(), 0u);
}

}  // namespace
