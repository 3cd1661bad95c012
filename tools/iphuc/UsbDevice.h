#pragma once
#include <string>

namespace iphuc {

enum class DeviceMode { None, Normal, Recovery, Dfu };

// The iPod Touch or iPhone on the USB cable, through libimobiledevice (normal
// mode) and libirecovery (recovery and DFU modes).
class UsbDevice {
public:
    DeviceMode mode() const;
    // Each returns false with a message in *error.
    bool enterRecovery(std::string *error);
    bool sendRecoveryCommand(const std::string &text, std::string *error);
};

} // namespace iphuc
