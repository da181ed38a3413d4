// Starts programs and measures them from outside, for scripts/bench.sh.
//
//   bench_driver ROUNDS SEED PROGRAM...
//       Each round starts every program once, in a random order, and prints
//       one line per start:  run ROUND INDEX MS PEAK_WS_KIB PEAK_PRIVATE_KIB
//       MS runs from CreateProcess until WaitForInputIdle returns; the two
//       memory figures are GetProcessMemoryInfo's at that moment.
//       Each program has ended, and SETTLE_MS passed, before the next
//       starts, so that no start shares the machine with the end of the
//       one before it.
//       A start counts only when the program then shows a window over the
//       whole screen. Wine signals a process idle as soon as any of its
//       threads waits on its message queue, and now and then that happens
//       before the program has a window at all: such a start is reported
//       as  early ROUND INDEX MS  and made again.
//
// A program is closed with WM_QUIT to its first thread, which ends the
// message loops of the launcher and of the reference program.
#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { SETTLE_MS = 100 };

static double elapsedMs(LARGE_INTEGER from)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return (now.QuadPart - from.QuadPart) * 1000.0 / frequency.QuadPart;
}

// Starts path and waits until it waits for input; 0 with a message on
// failure, or when the program ended instead of waiting.
static int start(const char *path, PROCESS_INFORMATION *process, double *ms)
{
    char commandLine[MAX_PATH + 3];
    snprintf(commandLine, sizeof(commandLine), "\"%s\"", path);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    LARGE_INTEGER begin;
    QueryPerformanceCounter(&begin);
    if (!CreateProcessA(path, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, process)) {
        fprintf(stderr, "cannot start %s: error %lu\n", path, GetLastError());
        return 0;
    }
    DWORD idle = WaitForInputIdle(process->hProcess, 30000);
    *ms = elapsedMs(begin);
    if (idle == 0 && WaitForSingleObject(process->hProcess, 0) == WAIT_TIMEOUT)
        return 1;
    fprintf(stderr, "%s did not wait for input (%lu)\n", path, idle);
    TerminateProcess(process->hProcess, 1);
    CloseHandle(process->hThread);
    CloseHandle(process->hProcess);
    return 0;
}

static BOOL CALLBACK findScreenWindow(HWND window, LPARAM lParam)
{
    DWORD *search = (DWORD *)lParam;   // process id in, 1 out when found
    DWORD owner;
    RECT rect;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search[0] && IsWindowVisible(window) && GetWindowRect(window, &rect) &&
        rect.left <= 0 && rect.top <= 0 && rect.right >= GetSystemMetrics(SM_CXSCREEN) &&
        rect.bottom >= GetSystemMetrics(SM_CYSCREEN)) {
        search[1] = 1;
        return FALSE;
    }
    return TRUE;
}

static int showsScreenWindow(DWORD processId)
{
    DWORD search[2] = { processId, 0 };
    EnumWindows(findScreenWindow, (LPARAM)search);
    return search[1];
}

static void printMemory(const char *prefix, HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters;
    memset(&counters, 0, sizeof(counters));
    GetProcessMemoryInfo(process, &counters, sizeof(counters));
    printf("%s %lu %lu\n", prefix, (unsigned long)(counters.PeakWorkingSetSize / 1024),
           (unsigned long)(counters.PeakPagefileUsage / 1024));
}

static void stop(PROCESS_INFORMATION *process)
{
    PostThreadMessageA(process->dwThreadId, WM_QUIT, 0, 0);
    if (WaitForSingleObject(process->hProcess, 5000) != WAIT_OBJECT_0) {
        TerminateProcess(process->hProcess, 1);
        WaitForSingleObject(process->hProcess, 5000);
    }
    CloseHandle(process->hThread);
    CloseHandle(process->hProcess);
}

// Starts path until a start leaves it showing a window over the screen.
static int startMenu(const char *path, PROCESS_INFORMATION *process, double *ms, int round, int index)
{
    for (int tries = 0; tries < 5; tries++) {
        if (!start(path, process, ms))
            return 0;
        if (showsScreenWindow(process->dwProcessId))
            return 1;
        printf("early %d %d %.2f\n", round, index, *ms);
        stop(process);
    }
    fprintf(stderr, "%s shows no window over the screen\n", path);
    return 0;
}

int main(int argc, char **argv)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    if (argc < 4 || argc - 3 > 8) {
        fprintf(stderr, "usage: bench_driver ROUNDS SEED PROGRAM...\n");
        return 2;
    }
    int rounds = atoi(argv[1]);
    int count = argc - 3;
    srand((unsigned)strtoul(argv[2], NULL, 10));
    for (int round = 0; round < rounds; round++) {
        int order[8];
        for (int i = 0; i < count; i++)
            order[i] = i;
        for (int i = count - 1; i > 0; i--) {
            int j = rand() % (i + 1), swap = order[i];
            order[i] = order[j];
            order[j] = swap;
        }
        for (int i = 0; i < count; i++) {
            PROCESS_INFORMATION process;
            double ms;
            if (!startMenu(argv[3 + order[i]], &process, &ms, round, order[i]))
                return 1;
            char prefix[64];
            snprintf(prefix, sizeof(prefix), "run %d %d %.2f", round, order[i], ms);
            printMemory(prefix, process.hProcess);
            stop(&process);
            Sleep(SETTLE_MS);
        }
    }
    return 0;
}
