// bench.cpp: measures the program under test (nxl_driver.h) under Wine and prints one table row per
// figure: peak working set beside winemine.exe, processor share over a whole game, key to painted mark,
// the paced wait's own processor time, and the objects held across many repaints. Medians of several
// runs; scripts/bench.sh adds the start-up time.
#include <windows.h>
#include <psapi.h>

#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/driver/nxl_driver.h"
#include "tests/driver/strategy.h"
#include "tests/utf8.h"
#include "ui/sound.h"

using driver::Game;

namespace {

double now()
{
    LARGE_INTEGER t, frequency;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Processor time of this thread in milliseconds.
double threadCpuMs()
{
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME &f) {
        return static_cast<double>((static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

// The peak working set of the program, as the system reports it, once its window is up and idle.
double peakWorkingSetKiB(const std::wstring &exe)
{
    Game program(L"", exe, false);
    if (!driver::waitUntil([&] { return driver::findTopLevel(program.pid(), nullptr) != nullptr; }, 10000))
        return -1;
    WaitForInputIdle(program.process(), 10000);
    Sleep(500);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(program.process(), &memory, sizeof memory);
    return static_cast<double>(memory.PeakWorkingSetSize) / 1024;
}

// Processor time of the running nxl.exe, read from the Linux process under Wine (/proc/PID/stat, in
// clock ticks of 10 ms): Wine does not report the times of another process.
double cpuMs()
{
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &entry);
    double total = -1;
    if (find == INVALID_HANDLE_VALUE)
        return total;
    do {
        const std::wstring folder = L"Z:\\proc\\" + std::wstring(entry.cFileName);
        std::string command = driver::contents(folder + L"\\cmdline");
        std::replace(command.begin(), command.end(), '\0', ' ');
        // The program under test by its full path: other sessions on the machine may run an nxl.exe too.
        if (command.find(utf8(driver::program().c_str())) == std::string::npos)
            continue;
        const std::string stat = driver::contents(folder + L"\\stat");
        const size_t p = stat.rfind(')');
        unsigned long long utime = 0, stime = 0;
        // Fields after the command: state, then 10 numbers, then utime and stime.
        if (p != std::string::npos &&
            sscanf(stat.c_str() + p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime, &stime) == 2)
            total = 10.0 * static_cast<double>(utime + stime);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return total;
}

// One whole game played to its end and its box closed: processor time as a share of the wall time.
double gameCpuShare()
{
    Game game;
    game.setClientSize(300, 300);
    const double cpuStart = cpuMs(), wallStart = now();
    strategy::Board finished;
    game.answer(strategy::playToEnd(game, strategy::careless, &finished), IDOK);
    game.waitBoard(".........");
    return (cpuMs() - cpuStart) / (now() - wallStart);
}

// Time from a posted digit key to the Cross painted in its square.
double keyToMark()
{
    Game game;
    game.setClientSize(300, 300);
    game.waitBoard(".........");
    int w, h;
    const double start = now();
    game.key('5');
    while (now() - start < 3000) {
        const std::vector<uint32_t> px = game.pixels(&w, &h);
        if (!px.empty() && px[150 * w + 150] == 0x0000FF)
            return now() - start;
    }
    return -1;
}

}  // namespace

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? atoi(argv[1]) : 7;
    std::vector<double> cpu, key, nxlPeak, minePeak;
    for (int i = 0; i < runs; ++i) {
        key.push_back(keyToMark());
        nxlPeak.push_back(peakWorkingSetKiB(driver::program()));
        minePeak.push_back(peakWorkingSetKiB(L"C:\\windows\\system32\\winemine.exe"));
    }
    for (int i = 0; i < std::max(1, runs / 2); ++i)
        cpu.push_back(gameCpuShare());
    // The paced wait of the game, run here in this process; thread times come in 10 ms steps under
    // Wine, so the figure is the total over all runs divided by their number.
    const double waitStart = threadCpuMs();
    for (int i = 0; i < runs; ++i)
        waitPumping(1000);
    const double waitCpu = (threadCpuMs() - waitStart) / runs;

    printf("| peak working set (KiB) | %.0f | %.0f | %.2f | ratio <= 0.9 |\n", median(nxlPeak), median(minePeak),
           median(nxlPeak) / median(minePeak));
    printf("| processor time over a whole game (%% of wall time) | %.2f | | | < 2 |\n", 100 * median(cpu));
    printf("| digit key to painted mark (ms) | %.1f | | | < 16 |\n", median(key));
    printf("| processor time of one waitPumping(1000) (ms) | %.1f | | | near 0 |\n", waitCpu);

    // GDI objects and windows before and after 1,000 full repaints, counted inside the game by the probe.
    Game game;
    game.setClientSize(300, 300);
    strategy::play(game, 5);
    const std::vector<std::string> before = game.probe();
    for (int i = 0; i < 1000; ++i)
        RedrawWindow(game.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const std::vector<std::string> after = game.probe();
    printf("| objects before / after 1,000 repaints | %s / %s | | | equal |\n",
           before.empty() ? "?" : before.back().c_str() + 8, after.empty() ? "?" : after.back().c_str() + 8);
    return 0;
}
