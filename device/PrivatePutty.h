#pragma once
#include <QProcessEnvironment>
#include <QString>

// PuTTY's state (host-key cache, settings, random seed) kept in a private home
// for tests and benchmarks. pscp and plink look in PUTTYDIR first; without it
// they try HOME's folders and then the user's real home from the password
// database, where a key stored once for 127.0.0.1 by another server would
// make them refuse the simulated device, and where they would store keys of
// their own. So both HOME and PUTTYDIR point into the private home.
class PrivatePutty {
public:
    // home/.putty: where PuTTY keeps its state, and where
    // SimulatedDevice::seedHostKey stores the device's key.
    static QString folder(const QString &home);
    // HOME and PUTTYDIR of env set for the private home.
    static void apply(QProcessEnvironment *env, const QString &home);
    // The same for this process and everything it starts.
    static void applyToProcess(const QString &home);
};
