#pragma once

// The full-screen saver on every monitor, one process per monitor. The
// effect keeps one window, one client size, one rendering context and one
// projection in module-level state, so one process draws one monitor; the
// process Windows starts takes the primary monitor and starts the program
// again for each of the others (as XScreenSaver runs one hack per screen).
// They end together: each one that ends sets a shared event, and each also
// watches the others' processes, so that a key, a button or a mouse move on
// any monitor, or any of them ending some other way, ends them all.
// Windows only.

#include "app/ScreenSaverCommandLine.h"
#include "platform/Win32.h"

// In the process Windows started: starts one process per monitor but the
// primary and returns the primary monitor's rectangle (the whole primary
// screen when the monitors cannot be listed).
RECT StartOtherMonitors();

// In a process started for one monitor: takes the starter's handles.
void JoinOtherMonitors(const MonitorShare& share);

// True once any of the saver's processes has ended or asked to end.
bool OtherMonitorsEnding();

// Tells the others to end (they do within a frame).
void EndOtherMonitors();

// After this process's window has gone: tells the others to end and, in the
// starting process, waits until every one has, so that nothing stays on
// screen or running.
void FinishOtherMonitors();
