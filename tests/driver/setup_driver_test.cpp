// setup_driver_test.cpp: installing and uninstalling with the real executable in the test prefix: exit codes,
// boxes, file, entry, shortcut, folders, a running game closed, the elevated restart, the title under 932.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <filesystem>
#include <map>
#include <optional>
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

void createFile(const std::wstring &path)
{
    CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
}

// The installed file open without sharing writes or deletion, as a virus scanner may hold it.
HANDLE holdInstalledFile()
{
    return CreateFileW(InstalledExe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

void cleanInstallation()
{
    std::error_code ignored;
    for (const std::wstring &folder : {ProgramVendor, MenuVendor})
        std::filesystem::remove_all(folder, ignored);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, UninstallKey, KEY_WOW64_32KEY, 0);
}

// A copy of the program under another name, in a folder of its own beside the driver.
std::wstring copyAs(const wchar_t *name, const wchar_t *subfolder = L"")
{
    const std::wstring folder = driver::exeFolder() + L"\\setup-test\\" + subfolder + (*subfolder ? L"\\" : L"");
    std::error_code made;
    std::filesystem::create_directories(folder, made);
    const std::wstring path = folder + name;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);   // made read-only by an earlier test
    CopyFileW(driver::program().c_str(), path.c_str(), FALSE);
    return path;
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

// Waits until no command interpreter runs: an uninstallation's removal (about 30 s at most) is over.
bool interpreterEnded()
{
    return driver::waitUntil([] {
        for (const PROCESSENTRY32W &p : processes())
            if (lstrcmpiW(p.szExeFile, L"cmd.exe") == 0)
                return false;
        return true;
    }, 55000);
}

// Carries out the deletions scheduled for the next start of Windows (Wine: wineboot -r), while no game runs.
DWORD restartWindows()
{
    return Game(L"-r", expand(L"%SystemRoot%\\system32\\wineboot.exe"), false).waitExit(30000);
}

long entriesIn(const std::wstring &folder)
{
    std::error_code missing;
    return std::distance(std::filesystem::directory_iterator(folder, missing), {});
}

// What a setup run, and the runs of its file that it (or they) started, showed until it ended.
struct Chain {
    DWORD exitCode = STILL_ACTIVE;
    std::map<DWORD, DWORD> restarts;   // process id: exit code (STILL_ACTIVE for one that outlived the run)
    int questions = 0;                 // boxes of all of them, each answered with Yes
};

// Watches the run to its end and once after it; an unanswered question stays open (the run: STILL_ACTIVE).
Chain follow(Game &first, const wchar_t *fileName, bool answer, const std::function<void()> &onRestart = [] {})
{
    Chain chain;
    std::map<DWORD, HANDLE> family = {{first.pid(), nullptr}};
    driver::waitUntil([&] {
        const bool ended = !first.running();
        for (const PROCESSENTRY32W &p : processes())
            if (family.count(p.th32ParentProcessID) && !family.count(p.th32ProcessID) &&
                lstrcmpiW(p.szExeFile, fileName) == 0) {
                family[p.th32ProcessID] = OpenProcess(PROCESS_ALL_ACCESS, FALSE, p.th32ProcessID);
                onRestart();
            }
        for (const auto &run : family) {
            const Box box = driver::readBox(driver::findTopLevel(run.first, L"#32770"));
            if (answer && !box.defaultButton.empty()) {
                ++chain.questions;
                first.answer(box, IDYES);
            }
        }
        return ended;
    }, 40000);
    chain.exitCode = first.waitExit(0);
    family.erase(first.pid());
    for (const auto &restart : family) {
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

// The list of installed programs as Wine's own Add/Remove Programs prints it, a "key|||name" line each.
std::string installedPrograms()
{
    std::string list;
    if (FILE *out = _popen("uninstaller.exe --list", "r")) {
        char line[1024];
        while (fgets(line, sizeof line, out))
            list += line;
        _pclose(out);
    }
    return list;
}

// The uninstall entry's values by name, type and data; none where there is no entry.
using Values = std::map<std::string, std::pair<DWORD, std::string>>;

Values entryValues(REGSAM view = KEY_WOW64_32KEY)
{
    Values values;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return values;
    char name[256];
    BYTE data[2048];
    for (DWORD i = 0, nameLength = sizeof name, dataLength = sizeof data, type = 0;
         RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data, &dataLength) == ERROR_SUCCESS;
         ++i, nameLength = sizeof name, dataLength = sizeof data)
        values[name] = {type, std::string(reinterpret_cast<char *>(data), dataLength)};
    RegCloseKey(key);
    return values;
}

std::string sz(const std::string &text) { return text + '\0'; }
std::string dword(DWORD value) { return std::string(reinterpret_cast<const char *>(&value), 4); }

// The shortcut's target, arguments, working folder, description and show command, joined by "|".
std::wstring readShortcut(const std::wstring &path)
{
    std::wstring link;
    CoInitialize(nullptr);
    IShellLinkW *shell = nullptr;
    IPersistFile *file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void **>(&shell))) &&
        SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file))) &&
        SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
        wchar_t text[4][1024];
        int show = -1;
        shell->GetPath(text[0], 1024, nullptr, SLGP_RAWPATH);
        shell->GetArguments(text[1], 1024);
        shell->GetWorkingDirectory(text[2], 1024);
        shell->GetDescription(text[3], 1024);
        shell->GetShowCmd(&show);
        link = std::wstring(text[0]) + L"|" + text[1] + L"|" + text[2] + L"|" + text[3] + L"|" + std::to_wstring(show);
    }
    for (IUnknown *object : {static_cast<IUnknown *>(file), static_cast<IUnknown *>(shell)})
        if (object != nullptr)
            object->Release();
    CoUninitialize();
    return link;
}

// An uninstallation's command interpreter outlives it: on a slow run it would remove what the next test installs.
class Setup : public ::testing::Test {
protected:
    void SetUp() override { cleanInstallation(); }
    void TearDown() override
    {
        EXPECT_TRUE(interpreterEnded()) << "an uninstallation's command interpreter still runs";
        cleanInstallation();
    }
};

// A repeated download (" (1)"), read-only, from a folder that the ANSI code page (1252 here) cannot spell.
TEST_F(Setup, QuietInstallWritesFileEntryAndShortcut)
{
    const std::wstring setup = copyAs(L"NoxelSetup (1).exe", L"Micha\x0142 \x0141\x00F3d\x017A \x6771\x4EAC");
    SetFileAttributesW(setup.c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(run(setup, L"/S"), 0u);

    EXPECT_TRUE(driver::contents(InstalledExe) == driver::contents(setup));   // not printed: a whole program
    EXPECT_EQ(GetFileAttributesW(InstalledExe.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    const std::string exe = utf8(InstalledExe.c_str());
    char today[16] = "";
    GetDateFormatA(LOCALE_INVARIANT, 0, nullptr, "yyyyMMdd", today, sizeof today);
    Values values = entryValues();
    EXPECT_EQ(values["URLInfoAbout"].first, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(values["URLInfoAbout"].second.rfind("https://", 0), 0u);
    values.erase("URLInfoAbout");
    EXPECT_EQ(values, (Values{{"DisplayName", {REG_SZ, sz("Noxel")}}, {"DisplayIcon", {REG_SZ, sz(exe)}},
                              {"DisplayVersion", {REG_SZ, sz("v1.0.0.0")}}, {"Version", {REG_DWORD, dword(0x01000000)}},
                              {"EstimatedSize", {REG_DWORD, dword(60)}}, {"InstallDate", {REG_SZ, sz(today)}},
                              {"NoModify", {REG_DWORD, dword(1)}}, {"NoRepair", {REG_DWORD, dword(1)}},
                              {"UninstallString", {REG_SZ, sz("\"" + exe + "\" /Uninstall")}},
                              {"QuietUninstallString", {REG_SZ, sz("\"" + exe + "\" /Uninstall /Quiet")}},
                              {"Publisher", {REG_SZ, sz("Ilvo Orvane")}}}));
    // The entry lives in the 32-bit view only, and the system's list of programs shows it.
    EXPECT_TRUE(entryValues(KEY_WOW64_64KEY).empty());
    EXPECT_NE(installedPrograms().find("Noxel|||Noxel"), std::string::npos) << installedPrograms();
    EXPECT_EQ(readShortcut(Shortcut), InstalledExe + L"||" + ProgramFolder + L"|Noxel Spiel/Game|1");

    // An installation over the game while it plays ends it and replaces its file (given an unread last byte).
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
    EXPECT_TRUE(driver::contents(InstalledExe) == driver::contents(setup));   // not printed: a whole program
    EXPECT_TRUE(exists(Shortcut));
    EXPECT_EQ(entryValues().size(), 12u);

    // A game on another desktop (another session), unseen by setup, runs on from its file renamed aside,
    // which goes when Windows next starts.
    {
        Game elsewhere(L"", InstalledExe, true, nullptr, L"Elsewhere");
        ASSERT_NE(elsewhere.window(), nullptr) << elsewhere.startFailure();
        EXPECT_EQ(run(setup, L"/S"), 0u);
        EXPECT_EQ(entriesIn(ProgramFolder), 2);
        elsewhere.post(WM_CLOSE);
        EXPECT_EQ(elsewhere.waitExit(5000), 0u);
    }
    EXPECT_EQ(restartWindows(), 0u);
    EXPECT_TRUE(entriesIn(ProgramFolder) == 1 && driver::contents(InstalledExe) == driver::contents(setup));
}

TEST_F(Setup, InstallAsksAndDecliningLeavesNothing)
{
    const std::wstring setup = copyAs(L"MySetup.exe");
    for (int answer : {IDNO, IDCANCEL, IDYES}) {
        Game installer(answer == IDYES ? L"" : L"/Quiet", setup, false);
        const Box box = installer.waitBox(10000);
        ASSERT_EQ(box.shown(), expectedBox(BoxInstall));
        EXPECT_EQ(box.buttons, (std::vector<std::wstring>{L"&Yes", L"&No", L"Cancel"}));
        EXPECT_EQ(box.defaultButton, L"&Yes");
        installer.answer(box, answer);
        EXPECT_EQ(installer.waitExit(15000), 0u);
        EXPECT_EQ(exists(ProgramVendor) || exists(MenuVendor) || !entryValues().empty(), answer == IDYES);
    }
    EXPECT_TRUE(exists(InstalledExe));
}

struct Route {
    const char *name;
    const wchar_t *from;   // null: the installed copy; "uninstaller.exe": Wine's list of programs; else a copy
    const wchar_t *arguments;
    int answer;            // 0: a quiet run, no question
    bool installed;
    DWORD exitCode;
    int foreign;           // vendor folders with a file of another program: 0, 1 the Start menu's, 2 both
    bool held;             // the installed file held open for 5 s after the removal has tried it once
    bool elsewhere;        // the installed game runs on another desktop until the removal has given up
};

const Route Routes[] = {
    {"declined", nullptr, L"/Uninstall", IDNO, true, 2, 0, false, false},
    {"answered Yes", nullptr, L"/Uninstall", IDYES, true, 3, 0, false, false},
    {"the system's list", L"uninstaller.exe", L"--remove Noxel", IDYES, true, 3, 0, false, false},
    {"the registered quiet command", nullptr, L"/Uninstall /Quiet", 0, true, 3, 2, false, false},
    {"Setup.exe with /Uninstall", L"Setup.exe", L"/Uninstall /Quiet", 0, true, 3, 0, true, false},
    {"nothing installed", L"nxl.exe", L"-UNINSTALL quiet", 0, false, 3, 0, false, false},
    {"a game on another desktop", nullptr, L"/Uninstall /Quiet", 0, true, 3, 1, false, true},
};

// Every way to uninstall, against an installation (but one) with a file added, while a game runs.
TEST_F(Setup, EveryWayToUninstallEndsAlike)
{
    for (const Route &route : Routes) {
        SCOPED_TRACE(route.name);
        cleanInstallation();
        if (route.installed) {
            ASSERT_EQ(run(copyAs(L"Setup (12).exe"), L"/S"), 0u);
            createFile(ProgramFolder + L"\\extra.txt");
        }
        const std::wstring vendors[] = {MenuVendor, ProgramVendor};
        for (int i = 0; i < route.foreign; ++i)
            createFile(vendors[i] + L"\\other.txt");
        HANDLE held = route.held ? holdInstalledFile() : INVALID_HANDLE_VALUE;
        Game game;
        ASSERT_NE(game.window(), nullptr) << game.startFailure();
        std::optional<Game> elsewhere;
        if (route.elsewhere) {
            ASSERT_NE(elsewhere.emplace(L"", InstalledExe, true, nullptr, L"Elsewhere").window(), nullptr);
        }

        Game started(route.arguments, route.from == nullptr ? InstalledExe
                                      : lstrcmpW(route.from, L"uninstaller.exe") == 0
                                          ? expand(L"%SystemRoot%\\system32\\uninstaller.exe")
                                          : copyAs(route.from),
                     false);
        DWORD code = started.waitExit(route.answer == 0 ? 25000 : 0);
        if (route.answer != 0) {
            // The program's box, whichever process started the program.
            const Box box = driver::waitBox([] { return FindWindowW(L"#32770", L"Uninstall"); }, 10000);
            ASSERT_EQ(box.shown(), expectedBox(BoxUninstall));
            EXPECT_EQ(box.defaultButton, L"&No");
            DWORD pid = 0;
            GetWindowThreadProcessId(box.window, &pid);
            HANDLE uninstaller = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
            started.answer(box, route.answer);
            WaitForSingleObject(uninstaller, driver::scaled(25000));
            GetExitCodeProcess(uninstaller, &code);
            CloseHandle(uninstaller);
        }
        if (held != INVALID_HANDLE_VALUE) {
            // Held for 5 s once the removal has stopped at it (extra.txt, before it by name, is gone): the
            // removal tries again each second, for longer than that.
            EXPECT_TRUE(driver::waitUntil([] { return !exists(ProgramFolder + L"\\extra.txt"); }, 25000));
            Sleep(5000);
            EXPECT_TRUE(exists(InstalledExe));
            CloseHandle(held);
        }

        if (elsewhere) {   // the removal has given up on the renamed file the game runs from
            EXPECT_TRUE(interpreterEnded() && !exists(InstalledExe) && entriesIn(ProgramFolder) == 1);
            elsewhere->post(WM_CLOSE);
            EXPECT_EQ(elsewhere->waitExit(5000), 0u);
            EXPECT_EQ(restartWindows(), 0u);
        }
        const bool kept = route.exitCode == 2;
        EXPECT_EQ(code, route.exitCode);
        EXPECT_TRUE(interpreterEnded());
        EXPECT_EQ(exists(Shortcut), kept);
        EXPECT_EQ(entryValues().size(), kept ? 12u : 0u);
        EXPECT_TRUE(entryValues(KEY_WOW64_64KEY).empty());
        EXPECT_EQ(installedPrograms().find("Noxel|||") != std::string::npos, kept);
        EXPECT_EQ(exists(ProgramFolder), kept);
        EXPECT_EQ(exists(StartMenuFolder), kept);
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(exists(vendors[i] + (i < route.foreign ? L"\\other.txt" : L"")), kept || i < route.foreign);
        if (kept)
            EXPECT_TRUE(game.handledPosted() && game.running());
        else
            EXPECT_EQ(game.waitExit(5000), 0u);
    }
    // "Uninstall" in the second argument only: it plays.
    Game game(L"/Quiet /Uninstall");
    EXPECT_NE(game.window(), nullptr) << game.startFailure();
}

// A copy that fails (the file held) asks once. A run with administrator rights (every run under Wine)
// ends with 1; one with the linked limited token (Windows' default user) restarts itself elevated, and
// the quiet restart's code ends the first. Wine lets a limited token write anywhere: the hold ends when
// the restart shows, so only the first copy fails.
TEST_F(Setup, AFailedCopyAsksOnceAndRestartsOnlyWithoutRights)
{
    const std::wstring setup = copyAs(L"Setup.exe");
    ASSERT_EQ(run(setup, L"/S"), 0u);
    HANDLE token = nullptr;
    TOKEN_LINKED_TOKEN limited = {};
    DWORD size = 0;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
                GetTokenInformation(token, TokenLinkedToken, &limited, sizeof limited, &size));
    CloseHandle(token);
    for (HANDLE user : {HANDLE(nullptr), limited.LinkedToken}) {
        HANDLE held = holdInstalledFile();
        Game installer(L"", setup, false, user);
        const Chain chain = follow(installer, L"Setup.exe", true, [&] {
            CloseHandle(held);
            held = nullptr;
        });
        CloseHandle(held);
        EXPECT_EQ(chain.questions, 1);
        EXPECT_EQ(chain.restarts.size(), user == nullptr ? 0u : 1u);
        for (const auto &restart : chain.restarts)
            EXPECT_EQ(restart.second, 0u);   // its copy was made
        EXPECT_EQ(chain.exitCode, user == nullptr ? 1u : 0u);
    }
    CloseHandle(limited.LinkedToken);
}

// Run with a German LC_ALL (a test of its own).
TEST(German, SetupQuestionsComeInGerman)
{
    for (const bool uninstall : {true, false}) {
        Game setup(uninstall ? L"/uninstall" : L"", uninstall ? driver::program() : copyAs(L"Setup.exe"), false);
        const Box box = setup.waitBox(10000);
        ASSERT_EQ(box.shown(), expectedBox(uninstall ? BoxUninstall : BoxInstall, true));
        setup.answer(box, IDCANCEL);
        EXPECT_EQ(setup.waitExit(), uninstall ? 2u : 0u);
    }
}

// Run with LC_ALL=ja_JP.UTF-8 (on its own): code page 932 lacks the no-break space, kept in the title as UTF-16.
TEST(Japanese, TitleKeepsItsNoBreakSpaces)
{
    ASSERT_EQ(GetACP(), 932u) << "no ja_JP.UTF-8 locale (scripts/install-deps.sh makes it)";
    Game game;
    ASSERT_NE(game.window(), nullptr) << game.startFailure();
    wchar_t title[64] = L"";
    GetWindowTextW(game.window(), title, 64);
    EXPECT_STREQ(title, L"Noxel\x00A0\x00A0 [You begin]");
}

}  // namespace
