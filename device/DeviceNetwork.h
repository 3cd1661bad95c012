#pragma once
#include "SimulatedDevice.h"

// Moves this test process into a simulated device's network namespace, so that
// everything the program starts from now on (interpreter, pscp, plink) reaches
// the device at 127.0.0.1:22, and back out again.
class DeviceNetwork {
public:
    DeviceNetwork();
    ~DeviceNetwork(); // leaves any device network it entered

    bool enter(const SimulatedDevice &device, QString *error);
    void leave();

private:
    int m_home = -1; // the network the process started in
    bool m_inside = false;
};
