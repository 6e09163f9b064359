// setup_driver_test.cpp: installing and uninstalling with the real executable in the test prefix: exit
// codes, boxes, the installed file, the uninstall entry, the shortcut, the folders, a running game
// closed, the elevated restart of a run with a limited token, and the title under code page 932.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <map>
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

const std::wstring ProgramVendor = expand(L"%ProgramFiles(x86)%\\Orvane");
const std::wstring MenuVendor = expand(L"%ALLUSERSPROFILE%\\Microsoft\\Windows\\Start Menu\\Programs\\Orvane");
const std::wstring ProgramFolder = ProgramVendor + L"\\nxl";
const std::wstring InstalledExe = ProgramFolder + L"\\nxl.exe";
const std::wstring StartMenuFolder = MenuVendor + L"\\nxl";
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
    removeTree(ProgramVendor);
    removeTree(MenuVendor);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, UninstallKey, KEY_WOW64_32KEY, 0);
}

// A copy of the program under another name, in a folder of its own beside the driver.
std::wstring copyAs(const wchar_t *name, const wchar_t *subfolder = L"")
{
    std::wstring folder = driver::exeFolder() + L"\\setup-test";
    CreateDirectoryW(folder.c_str(), nullptr);
    if (*subfolder != L'\0')
        CreateDirectoryW((folder += L"\\" + std::wstring(subfolder)).c_str(), nullptr);
    const std::wstring path = folder + L"\\" + name;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);   // a copy made read-only by an earlier test
    CopyFileW(driver::program().c_str(), path.c_str(), FALSE);
    return path;
}

void createFile(const std::wstring &path)
{
    CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
}

std::vector<PROCESSENTRY32W> processes()
{
    std::vector<PROCESSENTRY32W> list;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        list.push_back(entry);
    CloseHandle(snapshot);
    return list;
}

// Waits until no command interpreter runs: an uninstallation's removal, bounded by about 30 s, is over.
bool interpreterEnded()
{
    return driver::waitUntil([] {
        for (const PROCESSENTRY32W &p : processes())
            if (lstrcmpiW(p.szExeFile, L"cmd.exe") == 0)
                return false;
        return true;
    }, 45000 + driver::startTimeout());
}

// What a setup run and the runs of its file that it (or they) started showed until it ended.
struct Chain {
    DWORD exitCode = STILL_ACTIVE;
    std::map<DWORD, DWORD> restarts;   // process id: exit code (STILL_ACTIVE for one that outlived the run)
    int questions = 0;                 // boxes of all of them, each answered with Yes
};

// Watches the run to its end every 30 ms, and once more after it, so that a restart that has ended
// already is counted too. Unless told to answer, a question stays open and the run reads STILL_ACTIVE.
Chain follow(Game &first, const wchar_t *fileName, bool answer, const std::function<void()> &onRestart = [] {})
{
    Chain chain;
    std::map<DWORD, HANDLE> started;
    driver::waitUntil([&] {
        const bool ended = !first.running();
        for (const PROCESSENTRY32W &p : processes())
            if ((p.th32ParentProcessID == first.pid() || started.count(p.th32ParentProcessID)) &&
                lstrcmpiW(p.szExeFile, fileName) == 0 && !started.count(p.th32ProcessID)) {
                started[p.th32ProcessID] = OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION |
                                                       SYNCHRONIZE, FALSE, p.th32ProcessID);
                onRestart();
            }
        std::vector<DWORD> pids = {first.pid()};
        for (const auto &restart : started)
            pids.push_back(restart.first);
        for (DWORD pid : pids) {
            const Box box = driver::readBox(driver::findTopLevel(pid, L"#32770"));
            if (answer && !box.defaultButton.empty()) {
                ++chain.questions;
                first.answer(box, IDYES);
            }
        }
        return ended;
    }, 30000 + driver::startTimeout());
    chain.exitCode = first.waitExit(0);
    for (const auto &restart : started) {
        GetExitCodeProcess(restart.second, &chain.restarts[restart.first]);
        TerminateProcess(restart.second, 99);
        CloseHandle(restart.second);
    }
    return chain;
}

// Runs a setup program to its end and returns its exit code.
DWORD run(const std::wstring &exe, const std::wstring &arguments)
{
    Game process(arguments, exe, false);
    return follow(process, L"", false).exitCode;
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
        EXPECT_TRUE(interpreterEnded()) << "an uninstallation's command interpreter still runs";
        cleanInstallation();
    }
};

// A repeated download (" (1)") from a read-only folder whose name the ANSI code page cannot spell (1252
// here, as in Western Europe).
TEST_F(Setup, QuietInstallWritesFileEntryAndShortcut)
{
    const std::wstring setup = copyAs(L"NoxelSetup (1).exe", L"Micha\x0142 \x0141\x00F3d\x017A \x6771\x4EAC");
    SetFileAttributesW(setup.c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(run(setup, L"/S"), 0u);

    EXPECT_EQ(contents(InstalledExe), contents(setup));
    EXPECT_EQ(GetFileAttributesW(InstalledExe.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
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

    // An installation over the installed game while it plays ends it and replaces its file (given a byte
    // at its end here, which the loader does not read).
    HANDLE file = CreateFileW(InstalledExe.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    WriteFile(file, "!", 1, nullptr, nullptr);
    CloseHandle(file);
    DeleteFileW(Shortcut.c_str());
    {
        Game installed(L"", InstalledExe);
        ASSERT_NE(installed.window(), nullptr) << installed.startFailure();
        EXPECT_EQ(run(setup, L"-s"), 0u);
        EXPECT_EQ(installed.waitExit(5000), 0u);
    }
    EXPECT_EQ(contents(InstalledExe), contents(setup));
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

// Every way to uninstall, against an installation (but one) with a file added to its folder and with a
// game running; one block of end checks for all.
struct Route {
    const char *name;
    const wchar_t *from;   // null: the installed copy; "uninstaller.exe": Wine's list of programs; else a copy
    const wchar_t *arguments;
    int answer;            // 0: a quiet run, no question
    bool installed;
    DWORD exitCode;
    bool foreignFile;      // a file of another program in both vendor folders
    bool held;             // the installed file held open (not shared for writing or deletion) for a while
};

const Route Routes[] = {
    {"declined", nullptr, L"/Uninstall", IDNO, true, 2, false, false},
    {"answered Yes", nullptr, L"/Uninstall", IDYES, true, 3, false, false},
    {"the system's list", L"uninstaller.exe", L"--remove Noxel", IDYES, true, 3, false, false},
    {"the registered quiet command", nullptr, L"/Uninstall /Quiet", 0, true, 3, true, false},
    {"Setup.exe with /Uninstall", L"Setup.exe", L"/Uninstall /Quiet", 0, true, 3, false, true},
    {"nothing installed", L"nxl.exe", L"-UNINSTALL quiet", 0, false, 3, false, false},
};

TEST_F(Setup, EveryWayToUninstallEndsAlike)
{
    for (const Route &route : Routes) {
        SCOPED_TRACE(route.name);
        cleanInstallation();
        if (route.installed) {
            ASSERT_EQ(run(copyAs(L"Setup (12).exe"), L"/S"), 0u);
            createFile(ProgramFolder + L"\\extra.txt");
        }
        for (const std::wstring &vendor : {ProgramVendor, MenuVendor})
            if (route.foreignFile)
                createFile(vendor + L"\\other.txt");
        HANDLE held = route.held ? CreateFileW(InstalledExe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                               OPEN_EXISTING, 0, nullptr)
                                 : INVALID_HANDLE_VALUE;
        Game game;
        ASSERT_NE(game.window(), nullptr) << game.startFailure();

        const std::wstring exe = route.from == nullptr ? InstalledExe
                                 : lstrcmpW(route.from, L"uninstaller.exe") == 0
                                     ? expand(L"%SystemRoot%\\system32\\uninstaller.exe")
                                     : copyAs(route.from);
        Game started(route.arguments, exe, false);
        DWORD code = STILL_ACTIVE;
        if (route.answer == 0) {
            code = started.waitExit(15000 + driver::startTimeout());
        } else {
            // The box of the program, whichever process started it.
            const Box box = driver::waitBox([] { return FindWindowW(L"#32770", L"Uninstall"); }, driver::startTimeout());
            ASSERT_EQ(box.shown(), expectedBox(BoxUninstall));
            EXPECT_EQ(box.defaultButton, L"&No");
            DWORD pid = 0;
            GetWindowThreadProcessId(box.window, &pid);
            HANDLE uninstaller = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
            started.answer(box, route.answer);
            WaitForSingleObject(uninstaller, 15000 + driver::startTimeout());
            GetExitCodeProcess(uninstaller, &code);
            CloseHandle(uninstaller);
        }
        if (held != INVALID_HANDLE_VALUE) {
            // Released once the removal has stopped at it (extra.txt, before it by name, is gone).
            EXPECT_TRUE(driver::waitUntil([] { return !exists(ProgramFolder + L"\\extra.txt"); }, 15000) && exists(InstalledExe));
            CloseHandle(held);
        }

        const bool kept = route.exitCode == 2;
        EXPECT_EQ(code, route.exitCode);
        EXPECT_TRUE(interpreterEnded());
        EXPECT_EQ(exists(Shortcut), kept);
        EXPECT_EQ(entryExists(KEY_WOW64_32KEY), kept);
        EXPECT_FALSE(entryExists(KEY_WOW64_64KEY));
        EXPECT_EQ(installedPrograms().find("Noxel|||") != std::string::npos, kept);
        EXPECT_EQ(exists(ProgramFolder + L"\\extra.txt"), kept);
        EXPECT_EQ(exists(StartMenuFolder), kept);
        for (const std::wstring &vendor : {ProgramVendor, MenuVendor})
            EXPECT_EQ(exists(vendor + (route.foreignFile ? L"\\other.txt" : L"")), kept || route.foreignFile);
        if (kept)
            EXPECT_TRUE(game.handledPosted() && game.running());
        else
            EXPECT_EQ(game.waitExit(5000), 0u);
    }
    // Neither the first argument: it plays.
    Game game(L"/Quiet /Uninstall");
    EXPECT_NE(game.window(), nullptr) << game.startFailure();
}

// The installer here has administrator rights already (as under Wine), so a restart would fail alike.
TEST_F(Setup, FailedCopyAsksOnceEndsWithOneAndRestartsNothing)
{
    const std::wstring setup = copyAs(L"Setup.exe");
    ASSERT_EQ(run(setup, L"/S"), 0u);
    // The installed file held open without sharing: the copy over it fails.
    HANDLE held = CreateFileW(InstalledExe.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    Game installer(L"", setup, false);
    const Chain chain = follow(installer, L"Setup.exe", true);
    CloseHandle(held);
    EXPECT_EQ(chain.exitCode, 1u);
    EXPECT_EQ(chain.questions, 1);
    EXPECT_TRUE(chain.restarts.empty());
}

// Windows runs the default user's programs with a limited token: the copy into the program files is
// refused and the installer restarts itself elevated. Wine starts a program with the elevated token's
// linked token as such a user's, and its "runas" restart runs elevated again; as Wine lets that token
// write anywhere, the target is held open until the restart shows, so that only the first copy fails.
TEST_F(Setup, AnElevatedRestartAsksOnceAndEndsTheFirstRunWithItsCode)
{
    const std::wstring setup = copyAs(L"Setup.exe");
    ASSERT_EQ(run(setup, L"/S"), 0u);
    HANDLE held = CreateFileW(InstalledExe.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE token = nullptr;
    TOKEN_LINKED_TOKEN limited = {};
    DWORD size = 0;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
                GetTokenInformation(token, TokenLinkedToken, &limited, sizeof limited, &size));
    CloseHandle(token);
    Game installer(L"", setup, false, limited.LinkedToken);
    const Chain chain = follow(installer, L"Setup.exe", true, [&] {
        CloseHandle(held);
        held = nullptr;
    });
    CloseHandle(held);
    CloseHandle(limited.LinkedToken);
    EXPECT_EQ(chain.questions, 1);
    EXPECT_EQ(chain.restarts.size(), 1u);
    for (const auto &restart : chain.restarts)
        EXPECT_EQ(restart.second, 0u);   // its copy was made
    EXPECT_EQ(chain.exitCode, 0u);
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

// Run with LC_ALL=ja_JP.UTF-8 (a test of its own): code page 932 reads the byte 0xA0 as another character.
TEST(Japanese, TitleKeepsItsNoBreakSpaces)
{
    ASSERT_EQ(GetACP(), 932u) << "the ja_JP.UTF-8 locale is missing (scripts/install-deps.sh makes it)";
    Game game;
    ASSERT_NE(game.window(), nullptr) << game.startFailure();
    wchar_t title[64] = L"";
    GetWindowTextW(game.window(), title, 64);
    EXPECT_STREQ(title, L"Noxel\x00A0\x00A0 [You begin]");
}

}  // namespace
