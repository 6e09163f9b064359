// nxl_driver.cpp: starting nxl.exe and reading and working its window from another process.
#include "tests/driver/nxl_driver.h"

#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/utf8.h"

namespace driver {

namespace {

std::wstring windowText(HWND window)
{
    wchar_t text[4096] = L"";
    SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

BOOL CALLBACK collectButtons(HWND child, LPARAM param)
{
    auto *box = reinterpret_cast<Box *>(param);
    wchar_t name[64];
    if (GetClassNameW(child, name, 64) && lstrcmpiW(name, L"Button") == 0 && IsWindowVisible(child)) {
        box->buttons.push_back(windowText(child));
        if ((GetWindowLongW(child, GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON)
            box->defaultButton = box->buttons.back();
    }
    return TRUE;
}

// The address of an exported function inside another process, read from the export table of the
// module as that process has loaded it: a 64-bit driver's own addresses mean nothing in a 32-bit game.
void *remoteExport(HANDLE process, const wchar_t *moduleName, const char *function)
{
    BOOL wow64 = FALSE;
    IsWow64Process(process, &wow64);
    HMODULE modules[512];
    DWORD bytes = 0;
    if (!EnumProcessModulesEx(process, modules, sizeof modules, &bytes, wow64 ? LIST_MODULES_32BIT : LIST_MODULES_64BIT))
        return nullptr;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
        wchar_t name[MAX_PATH];
        if (!GetModuleBaseNameW(process, modules[i], name, MAX_PATH) || lstrcmpiW(name, moduleName) != 0)
            continue;
        const BYTE *image = reinterpret_cast<const BYTE *>(modules[i]);
        auto read = [&](DWORD rva, void *out, size_t size) {
            return ReadProcessMemory(process, image + rva, out, size, nullptr) != 0;
        };
        IMAGE_DOS_HEADER dos;
        union { IMAGE_NT_HEADERS32 bits32; IMAGE_NT_HEADERS64 bits64; } nt;
        if (!read(0, &dos, sizeof dos) || !read(dos.e_lfanew, &nt, sizeof nt))
            return nullptr;
        const IMAGE_DATA_DIRECTORY exports = wow64 ? nt.bits32.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT]
                                                   : nt.bits64.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
        // The directory, its tables and its names, read at once.
        std::vector<BYTE> data(exports.Size);
        if (exports.Size < sizeof(IMAGE_EXPORT_DIRECTORY) || !read(exports.VirtualAddress, data.data(), data.size()))
            return nullptr;
        auto at = [&](DWORD rva) -> const BYTE * {
            return rva >= exports.VirtualAddress && rva - exports.VirtualAddress < data.size()
                       ? &data[rva - exports.VirtualAddress] : nullptr;
        };
        const auto *directory = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY *>(data.data());
        for (DWORD n = 0; n < directory->NumberOfNames; ++n) {
            const BYTE *nameRva = at(directory->AddressOfNames + 4 * n);
            const BYTE *ordinal = at(directory->AddressOfNameOrdinals + 2 * n);
            if (nameRva == nullptr || ordinal == nullptr)
                return nullptr;
            const BYTE *text = at(*reinterpret_cast<const DWORD *>(nameRva));
            if (text == nullptr || strncmp(reinterpret_cast<const char *>(text), function,
                                           data.data() + data.size() - text) != 0)
                continue;
            const BYTE *entry = at(directory->AddressOfFunctions + 4 * *reinterpret_cast<const WORD *>(ordinal));
            const DWORD rva = entry ? *reinterpret_cast<const DWORD *>(entry) : 0;
            // An address inside the directory is a forwarder's text, not code.
            return rva != 0 && at(rva) == nullptr ? const_cast<BYTE *>(image + rva) : nullptr;
        }
    }
    return nullptr;
}

}  // namespace

std::wstring exeFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    *wcsrchr(path, L'\\') = 0;
    return path;
}

std::string contents(const std::wstring &path)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::wstring program()
{
    const wchar_t *chosen = _wgetenv(L"NOXEL_PROGRAM");
    if (chosen == nullptr || *chosen == 0)
        return exeFolder() + L"\\nxl.exe";
    std::wstring path = chosen;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

DWORD scaled(DWORD milliseconds)
{
    const char *setting = getenv("NOXEL_START_TIMEOUT_MS");
    const long start = setting != nullptr && atol(setting) > 0 ? atol(setting) : 10000;
    return static_cast<DWORD>(static_cast<unsigned long long>(milliseconds) * start / 10000);
}

Game::Game(const std::wstring &arguments, const std::wstring &exe, bool waitForWindow, HANDLE token,
           const std::wstring &desktop)
{
    const std::wstring path = exe.empty() ? program() : exe;
    std::wstring commandLine = L"\"" + path + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring desktopPath = L"WinSta0\\" + desktop;
    if (!desktop.empty()) {
        desktop_ = CreateDesktopW(desktop.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        startup.lpDesktop = &desktopPath[0];
    }
    // A start that fails before the program has run (Wine's loader) is reported and tried once more.
    auto start = [&] {
        return token != nullptr ? CreateProcessAsUserW(token, path.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                                                       0, nullptr, nullptr, &startup, &info_)
                                : CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                                 nullptr, &startup, &info_);
    };
    for (int attempt = 0; !start(); ++attempt) {
        startFailure_ = "the start failed with error " + std::to_string(GetLastError());
        fprintf(stderr, "driver: %s for %s\n", startFailure_.c_str(), utf8(commandLine.c_str()).c_str());
        if (attempt == 1)
            return;
        Sleep(500);
    }
    startFailure_.clear();
    if (!waitForWindow)
        return;
    const DWORD started = GetTickCount();
    waitUntil([&] { return (window_ = findTopLevel(pid(), L"NXL32Cls", desktop_)) != nullptr || !running(); }, 10000);
    if (window_ == nullptr) {
        const DWORD code = waitExit(0);
        startFailure_ = (code == STILL_ACTIVE ? "no window" : "ended with exit code " + std::to_string(code)) +
                        " after " + std::to_string(GetTickCount() - started) + " ms";
    }
    WaitForInputIdle(info_.hProcess, scaled(5000));
}

Game::~Game()
{
    if (info_.hProcess == nullptr)
        return;
    if (running()) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
    if (desktop_ != nullptr)
        CloseDesktop(desktop_);
}

bool Game::running() const
{
    return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD Game::waitExit(DWORD milliseconds) const
{
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(info_.hProcess, scaled(milliseconds)) == WAIT_OBJECT_0)
        GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

bool waitUntil(const std::function<bool()> &condition, DWORD milliseconds)
{
    const DWORD start = GetTickCount(), limit = scaled(milliseconds);
    bool holds = condition();
    while (!holds && GetTickCount() - start < limit) {
        Sleep(30);
        holds = condition();
    }
    return holds;
}

std::string Game::waitTitle(const std::string &wanted, DWORD milliseconds) const
{
    std::string title;
    waitUntil([&] { return (title = titleBytes()) == wanted; }, milliseconds);
    return title;
}

bool Game::handledPosted()
{
    const std::string before = titleBytes();
    command(119);
    if (!waitUntil([&] { return titleBytes() != before; }))
        return false;
    command(119);
    if (waitTitle(before) != before)
        return false;
    // What the handled messages asked to be painted is painted before this returns (a sent paint).
    UpdateWindow(window_);
    return true;
}

std::string Game::titleBytes() const
{
    char text[512] = "";
    GetWindowTextA(window_, text, sizeof text);
    return text;
}

bool Game::setClientSize(int width, int height)
{
    // The frame measured anew until the client area fits (a narrow window's menu bar takes more lines);
    // fails where the system keeps a window larger (a captioned window has a minimum width).
    return waitUntil([&] {
        RECT outer, client;
        GetWindowRect(window_, &outer);
        GetClientRect(window_, &client);
        if (client.right == width && client.bottom == height)
            return true;
        SetWindowPos(window_, nullptr, 0, 0, width + (outer.right - outer.left) - client.right,
                     height + (outer.bottom - outer.top) - client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
        return false;
    }, 1000);
}

void Game::input(std::initializer_list<WORD> keys, HWND to)
{
    const HWND target = to != nullptr ? to : window_;
    SetForegroundWindow(target);
    waitUntil([&] { return GetForegroundWindow() == target; }, 1000);
    std::vector<INPUT> events(2 * keys.size());   // all down in order, then all up in reverse
    for (size_t i = 0; i < keys.size(); ++i) {
        INPUT &down = events[i], &up = events[events.size() - 1 - i];
        down.type = up.type = INPUT_KEYBOARD;
        down.ki.wVk = up.ki.wVk = keys.begin()[i];
        up.ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
}

std::vector<uint32_t> Game::pixels(int *width, int *height) const
{
    RECT r = {};
    GetClientRect(window_, &r);
    *width = r.right;
    *height = r.bottom;
    std::vector<uint32_t> out(static_cast<size_t>(r.right) * r.bottom);
    if (out.empty())
        return out;
    HDC source = GetDC(window_);
    HDC memory = CreateCompatibleDC(source);
    const BITMAPINFO bi = {{sizeof(BITMAPINFOHEADER), r.right, -r.bottom /* top-down */, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, r.right, r.bottom, source, 0, 0, SRCCOPY);
    GdiFlush();
    memcpy(out.data(), bits, out.size() * 4);
    for (uint32_t &p : out)
        p &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window_, source);
    return out;
}

Board Game::board() const
{
    if (!running())
        return "no board: the game has ended with exit code " + std::to_string(waitExit(0));
    if (!IsWindow(window_))
        return "no board: no window";
    int w = 0, h = 0;
    const std::vector<uint32_t> px = pixels(&w, &h);
    if (w < 30 || h < 30)
        return "no board: a client area of " + std::to_string(w) + " x " + std::to_string(h);
    Board b(9, '.');
    for (int n = 0; n < 9; ++n) {
        const int left = (n % 3) * (w / 3), top = (n / 3) * (h / 3);
        int blue = 0, red = 0;
        for (int y = top + 2; y < top + h / 3 - 2; ++y)
            for (int x = left + 2; x < left + w / 3 - 2; ++x) {
                blue += px[static_cast<size_t>(y) * w + x] == 0x0000FF;
                red += px[static_cast<size_t>(y) * w + x] == 0xFF0000;
            }
        b[n] = blue > 40 ? 'X' : red > 40 ? 'O' : '.';
    }
    return b;
}

Board Game::stableBoard() const
{
    Board last, now;
    waitUntil([&] {
        now = board();
        const bool same = now == last;
        last = now;
        return same;
    }, 2000);
    return now;
}

Board Game::waitBoard(const std::function<bool(const Board &)> &holds, DWORD milliseconds) const
{
    Board b;
    waitUntil([&] { return holds(b = stableBoard()); }, milliseconds);
    return b;
}

Board Game::waitBoard(const std::string &wanted, DWORD milliseconds) const
{
    return waitBoard([&](const Board &b) { return b == wanted; }, milliseconds);
}

Box Game::findBox() const
{
    return readBox(findTopLevel(info_.dwProcessId, L"#32770"));
}

Box readBox(HWND window)
{
    Box box;
    if ((box.window = window) == nullptr)
        return box;
    box.caption = windowText(window);
    box.text = GetDlgItem(window, 0xFFFF) ? windowText(GetDlgItem(window, 0xFFFF)) : L"";
    EnumChildWindows(box.window, collectButtons, reinterpret_cast<LPARAM>(&box));
    return box;
}

Box waitBox(const std::function<HWND()> &find, DWORD milliseconds)
{
    Box box;
    waitUntil([&] { return !(box = readBox(find())).defaultButton.empty(); }, milliseconds);
    return box;
}

Box Game::waitBox(DWORD milliseconds) const
{
    return driver::waitBox([this] { return findBox().window; }, milliseconds);
}

void Game::answer(const Box &box, int buttonId) const
{
    PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box.window, buttonId)));
    waitUntil([&] { return !IsWindow(box.window); });
}

void Game::moveBoxAside(const Box &box) const
{
    RECT main;
    GetWindowRect(window_, &main);
    SetWindowPos(box.window, nullptr, main.right + 10, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(window_);   // the uncovered board is painted before this returns
}

std::vector<std::string> Game::probe(const std::string &order) const
{
    const std::wstring path = program();
    const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
    const std::wstring dll = folder + L"\\nxl_probe.dll", base = folder + L"\\probe-" + std::to_wstring(pid());
    const std::wstring report = base + L".txt";
    DeleteFileW(report.c_str());
    if (FILE *in = order.empty() ? nullptr : _wfopen((base + L".in").c_str(), L"wb")) {
        fputs(order.c_str(), in);
        fclose(in);
    }

    const size_t bytes = (dll.size() + 1) * sizeof(wchar_t);
    void *remote = VirtualAllocEx(info_.hProcess, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);   // the DLL's path
    WriteProcessMemory(info_.hProcess, remote, dll.c_str(), bytes, nullptr);
    auto *loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(remoteExport(info_.hProcess, L"kernel32.dll", "LoadLibraryW"));
    HANDLE thread = loadLibrary ? CreateRemoteThread(info_.hProcess, nullptr, 0, loadLibrary, remote, 0, nullptr) : nullptr;
    if (thread != nullptr) {
        WaitForSingleObject(thread, scaled(5000));
        CloseHandle(thread);
    }
    // The probe writes its report under another name and then renames it: a report that is there is whole.
    waitUntil([&] { return GetFileAttributesW(report.c_str()) != INVALID_FILE_ATTRIBUTES; });
    std::istringstream text(contents(report));
    DeleteFileW(report.c_str());
    VirtualFreeEx(info_.hProcess, remote, 0, MEM_RELEASE);
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

}  // namespace driver
