#pragma once

// Runs this test program in a process-id namespace of its own, with its own
// /proc. The job scripts end the program with "taskkill /F /IM Zorvane.exe",
// which ends every process of that name it can see: inside the namespace it
// sees only what this test started, never a Zorvane running elsewhere on the
// machine. Needs root; elsewhere the program runs as it was started.
//
// Simulated devices started inside keep their folders under a base of their
// own (ZORVANE_DEVICE_BASE, named after this program's process id outside):
// device.sh tells a left-behind device by its owner's process id, which means
// something else in here, so devices inside and outside never see each other.
// A base whose program has gone (killed with its devices) is removed at the
// next start.
class PrivateProcessIds {
public:
    // Called first thing in the program: starts it again inside a new
    // namespace and does not return, unless it already runs in one of its own
    // or the namespace cannot be made.
    static void enter();

    // Whether this process runs in a namespace made by enter().
    static bool active();
};
