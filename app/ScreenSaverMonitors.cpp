#include "app/ScreenSaverMonitors.h"

#include <cstdio>

namespace {

// WaitForMultipleObjects takes at most 64 handles: the end signal and one
// process per other monitor.
constexpr int kMaxOtherMonitors = MAXIMUM_WAIT_OBJECTS - 1;
// How long the starter waits for the others to end before ending them.
constexpr DWORD kEndTimeoutMs = 5000;

// [0] the end signal, then the processes to watch: the other monitors' in
// the starter, the starter's in the others.
HANDLE g_watched[MAXIMUM_WAIT_OBJECTS] = {};
DWORD g_watchedCount = 0;
bool g_starter = false;

struct MonitorList {
    RECT primary;
    bool primaryFound;
    RECT others[kMaxOtherMonitors];
    int otherCount;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data)
{
    MonitorList& list = *reinterpret_cast<MonitorList*>(data);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info))
        return TRUE;
    if ((info.dwFlags & MONITORINFOF_PRIMARY) != 0 && !list.primaryFound) {
        list.primary = info.rcMonitor;
        list.primaryFound = true;
    } else if (list.otherCount < kMaxOtherMonitors) {
        list.others[list.otherCount++] = info.rcMonitor;
    }
    return TRUE;
}

void StartMonitorProcess(const char* program, const RECT& area, HANDLE endSignal, HANDLE starter)
{
    MonitorShare share;
    share.left = area.left;
    share.top = area.top;
    share.width = area.right - area.left;
    share.height = area.bottom - area.top;
    share.endSignal = reinterpret_cast<std::uintptr_t>(endSignal);
    share.starter = reinterpret_cast<std::uintptr_t>(starter);
    char arguments[160];
    char commandLine[MAX_PATH + 200];
    if (!FormatMonitorShareArguments(share, arguments, sizeof arguments))
        return;
    std::snprintf(commandLine, sizeof commandLine, "\"%s\" %s", program, arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // Inherits the two handles it is given (the only inheritable ones).
    if (!CreateProcessA(program, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return;  // that monitor keeps its desktop; the others run
    }
    CloseHandle(process.hThread);
    g_watched[g_watchedCount++] = process.hProcess;
}

}  // namespace

RECT StartOtherMonitors()
{
    g_starter = true;
    MonitorList list = {};
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list));
    if (!list.primaryFound) {
        list.primary = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        list.otherCount = 0;
    }
    if (list.otherCount == 0)
        return list.primary;

    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE endSignal = CreateEventA(&inherited, TRUE, FALSE, nullptr);
    HANDLE self = nullptr;
    char program[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    if (endSignal == nullptr || length == 0 || length >= MAX_PATH ||
        !DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                         SYNCHRONIZE, TRUE, 0)) {
        if (endSignal != nullptr)
            CloseHandle(endSignal);
        return list.primary;
    }
    g_watched[0] = endSignal;
    g_watchedCount = 1;
    for (int i = 0; i < list.otherCount; ++i)
        StartMonitorProcess(program, list.others[i], endSignal, self);
    // Only the children need the starter's handle to itself.
    CloseHandle(self);
    return list.primary;
}

void JoinOtherMonitors(const MonitorShare& share)
{
    g_starter = false;
    g_watched[0] = reinterpret_cast<HANDLE>(share.endSignal);
    g_watched[1] = reinterpret_cast<HANDLE>(share.starter);
    g_watchedCount = 2;
}

bool OtherMonitorsEnding()
{
    if (g_watchedCount == 0)
        return false;
    // Signalled or not a handle at all: either way there is nothing to wait for.
    return WaitForMultipleObjects(g_watchedCount, g_watched, FALSE, 0) != WAIT_TIMEOUT;
}

void EndOtherMonitors()
{
    if (g_watchedCount > 0)
        SetEvent(g_watched[0]);
}

void FinishOtherMonitors()
{
    if (g_watchedCount == 0)
        return;
    EndOtherMonitors();
    if (g_starter && g_watchedCount > 1) {
        HANDLE* processes = g_watched + 1;
        const DWORD count = g_watchedCount - 1;
        if (WaitForMultipleObjects(count, processes, TRUE, kEndTimeoutMs) == WAIT_TIMEOUT) {
            for (DWORD i = 0; i < count; ++i) {
                if (WaitForSingleObject(processes[i], 0) == WAIT_TIMEOUT)
                    TerminateProcess(processes[i], 0);
            }
        }
    }
    for (DWORD i = 0; i < g_watchedCount; ++i)
        CloseHandle(g_watched[i]);
    g_watchedCount = 0;
}
