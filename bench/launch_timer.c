/* Starts two or more GUI programs in turn (A B C A B C ...) and times how long
   each takes to show its window and to end after WM_CLOSE, with its memory just
   before closing; then the ratios of A to each of the others.
   Usage: launch_timer [--rounds K] [--warmup W] A B [C ...]
   It prints figures only; a slow run is not an error. */
#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

#define SHOW_TIMEOUT_MS 10000
#define CLOSE_TIMEOUT_MS 10000
#define SETTLE_MS 200
/* Programs are named A, B, C ... in the output. */
#define MAX_PROGRAMS 26

typedef struct {
    const wchar_t *path;
    int ok;
    int failed;
    double *shownMs;
    double *endedMs;
    double *peakKiB;
    double *privateKiB;
} Program;

static LARGE_INTEGER ticksPerSecond;

static double MsSince(LARGE_INTEGER start)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)(now.QuadPart - start.QuadPart) * 1000.0 / (double)ticksPerSecond.QuadPart;
}

typedef struct {
    DWORD pid;
    HWND found;
} WindowSearch;

/* The first visible, captioned, non-empty top-level window of the process; the
   zero-size taskbar owner window does not count. */
static BOOL CALLBACK CheckWindow(HWND hwnd, LPARAM param)
{
    WindowSearch *search = (WindowSearch *)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->pid || !IsWindowVisible(hwnd))
        return TRUE;
    wchar_t caption[8];
    RECT rect;
    if (InternalGetWindowText(hwnd, caption, 8) <= 0 || !GetWindowRect(hwnd, &rect) || IsRectEmpty(&rect))
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

static HWND FindShownWindow(DWORD pid)
{
    WindowSearch search = {pid, NULL};
    EnumWindows(CheckWindow, (LPARAM)&search);
    return search.found;
}

/* One launch; returns FALSE (and leaves no process behind) when it failed. */
static BOOL TimeOneLaunch(const wchar_t *path, double *shownMs, double *endedMs,
                          double *peakKiB, double *privateKiB)
{
    size_t length = wcslen(path) + 3;
    wchar_t *commandLine = malloc(length * sizeof *commandLine);
    swprintf(commandLine, length, L"\"%ls\"", path);

    STARTUPINFOW startup = {0};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    BOOL started = CreateProcessW(path, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process);
    free(commandLine);
    if (!started) {
        fwprintf(stderr, L"cannot start %ls (error %lu)\n", path, GetLastError());
        return FALSE;
    }
    CloseHandle(process.hThread);

    HWND window = NULL;
    while (!(window = FindShownWindow(process.dwProcessId))) {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
            fwprintf(stderr, L"%ls ended before showing a window\n", path);
            CloseHandle(process.hProcess);
            return FALSE;
        }
        if (MsSince(start) > SHOW_TIMEOUT_MS) {
            fwprintf(stderr, L"%ls showed no window within %d ms\n", path, SHOW_TIMEOUT_MS);
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, CLOSE_TIMEOUT_MS);
            CloseHandle(process.hProcess);
            return FALSE;
        }
        Sleep(1);
    }
    *shownMs = MsSince(start);

    /* Let the first paint and any idle work finish before reading memory. */
    Sleep(SETTLE_MS);
    PROCESS_MEMORY_COUNTERS_EX memory = {0};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process.hProcess, (PROCESS_MEMORY_COUNTERS *)&memory, sizeof memory);
    *peakKiB = memory.PeakWorkingSetSize / 1024.0;
    /* Wine leaves PrivateUsage at 0; PagefileUsage is the same commit charge on
       Windows and Wine fills it in. */
    *privateKiB = (memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage) / 1024.0;

    QueryPerformanceCounter(&start);
    PostMessageW(window, WM_CLOSE, 0, 0);
    BOOL ended = WaitForSingleObject(process.hProcess, CLOSE_TIMEOUT_MS) == WAIT_OBJECT_0;
    *endedMs = MsSince(start);
    if (!ended) {
        fwprintf(stderr, L"%ls still running %d ms after WM_CLOSE\n", path, CLOSE_TIMEOUT_MS);
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, CLOSE_TIMEOUT_MS);
    } else {
        DWORD exitCode = 0;
        GetExitCodeProcess(process.hProcess, &exitCode);
        if (exitCode != 0)
            fwprintf(stderr, L"%ls exited with code %lu\n", path, exitCode);
    }
    CloseHandle(process.hProcess);
    return ended;
}

static int CompareDoubles(const void *a, const void *b)
{
    double x = *(const double *)a, y = *(const double *)b;
    return (x > y) - (x < y);
}

/* Sorts in place. */
static double Median(double *values, int count)
{
    qsort(values, count, sizeof *values, CompareDoubles);
    return count % 2 ? values[count / 2] : (values[count / 2 - 1] + values[count / 2]) / 2;
}

static void PrintTiming(const char *label, char name, double *values, int count)
{
    double median = Median(values, count);
    printf("%-28s %-3c %10.1f %10.1f %10.1f\n", label, name, values[0], median, values[count - 1]);
}

static void Usage(void)
{
    fprintf(stderr, "usage: launch_timer [--rounds K] [--warmup W] A B [C ...]\n");
    exit(2);
}

int wmain(int argc, wchar_t **argv)
{
    int rounds = 20, warmup = 2;
    const wchar_t *paths[MAX_PROGRAMS];
    int count = 0;
    for (int i = 1; i < argc; i++) {
        if (!wcscmp(argv[i], L"--rounds") && i + 1 < argc)
            rounds = _wtoi(argv[++i]);
        else if (!wcscmp(argv[i], L"--warmup") && i + 1 < argc)
            warmup = _wtoi(argv[++i]);
        else if (count < MAX_PROGRAMS)
            paths[count++] = argv[i];
        else
            Usage();
    }
    if (count < 2 || rounds < 1 || warmup < 0)
        Usage();
    QueryPerformanceFrequency(&ticksPerSecond);

    Program programs[MAX_PROGRAMS];
    for (int p = 0; p < count; p++) {
        Program *program = &programs[p];
        program->path = paths[p];
        program->ok = program->failed = 0;
        program->shownMs = calloc(rounds, sizeof(double));
        program->endedMs = calloc(rounds, sizeof(double));
        program->peakKiB = calloc(rounds, sizeof(double));
        program->privateKiB = calloc(rounds, sizeof(double));
    }

    /* The programs take turns so that drift in the machine's load hits all alike. */
    for (int round = 0; round < warmup + rounds; round++) {
        for (int p = 0; p < count; p++) {
            Program *program = &programs[p];
            double shown, ended, peak, privateBytes;
            BOOL ok = TimeOneLaunch(program->path, &shown, &ended, &peak, &privateBytes);
            if (round < warmup)
                continue;
            if (!ok) {
                program->failed++;
                continue;
            }
            program->shownMs[program->ok] = shown;
            program->endedMs[program->ok] = ended;
            program->peakKiB[program->ok] = peak;
            program->privateKiB[program->ok] = privateBytes;
            program->ok++;
        }
    }

    for (int p = 0; p < count; p++)
        printf("%c = %ls\n", 'A' + p, programs[p].path);
    printf("rounds: %d each after %d warm-up, taken in turn", rounds, warmup);
    for (int p = 0; p < count; p++)
        printf(" %c", 'A' + p);
    printf("; failed:");
    for (int p = 0; p < count; p++)
        printf("%s %c %d", p ? "," : "", 'A' + p, programs[p].failed);
    printf("\n\n");
    int missing = 0;
    for (int p = 0; p < count; p++) {
        if (programs[p].ok == 0) {
            fprintf(stderr, "no successful round for %c\n", 'A' + p);
            missing = 1;
        }
    }
    if (missing)
        return 1;

    double shownMedian[MAX_PROGRAMS], peakMedian[MAX_PROGRAMS], privateMedian[MAX_PROGRAMS];
    printf("%-28s %-3s %10s %10s %10s\n", "", "", "min", "median", "max");
    for (int p = 0; p < count; p++) {
        PrintTiming("start -> window shown (ms)", 'A' + p, programs[p].shownMs, programs[p].ok);
        shownMedian[p] = Median(programs[p].shownMs, programs[p].ok);
    }
    for (int p = 0; p < count; p++)
        PrintTiming("WM_CLOSE -> ended (ms)", 'A' + p, programs[p].endedMs, programs[p].ok);
    for (int p = 0; p < count; p++) {
        peakMedian[p] = Median(programs[p].peakKiB, programs[p].ok);
        printf("%-28s %-3c %21.0f\n", "peak working set (KiB)", 'A' + p, peakMedian[p]);
    }
    for (int p = 0; p < count; p++) {
        privateMedian[p] = Median(programs[p].privateKiB, programs[p].ok);
        printf("%-28s %-3c %21.0f\n", "private bytes (KiB)", 'A' + p, privateMedian[p]);
    }
    printf("\n");
    for (int p = 1; p < count; p++)
        printf("ratio A/%c %-22s %21.3f\n", 'A' + p, "start -> shown", shownMedian[0] / shownMedian[p]);
    for (int p = 1; p < count; p++)
        printf("ratio A/%c %-22s %21.3f\n", 'A' + p, "peak working set", peakMedian[0] / peakMedian[p]);
    for (int p = 1; p < count; p++)
        printf("ratio A/%c %-22s %21.3f\n", 'A' + p, "private bytes", privateMedian[0] / privateMedian[p]);
    return 0;
}
