#include "UsbDevice.h"

#include <libimobiledevice/libimobiledevice.h>
#include <libimobiledevice/lockdown.h>
#include <libirecovery.h>

namespace iphuc {

namespace {

bool normalModeDevicePresent()
{
    char **udids = nullptr;
    int count = 0;
    if (idevice_get_device_list(&udids, &count) != IDEVICE_E_SUCCESS)
        return false;
    idevice_device_list_free(udids);
    return count > 0;
}

DeviceMode lowLevelMode()
{
    irecv_client_t client = nullptr;
    if (irecv_open_with_ecid(&client, 0) != IRECV_E_SUCCESS || !client)
        return DeviceMode::None;
    int mode = 0;
    DeviceMode result = DeviceMode::None;
    if (irecv_get_mode(client, &mode) == IRECV_E_SUCCESS)
        result = (mode == IRECV_K_DFU_MODE || mode == IRECV_K_WTF_MODE) ? DeviceMode::Dfu
                                                                        : DeviceMode::Recovery;
    irecv_close(client);
    return result;
}

} // namespace

DeviceMode UsbDevice::mode() const
{
    if (normalModeDevicePresent())
        return DeviceMode::Normal;
    return lowLevelMode();
}

bool UsbDevice::enterRecovery(std::string *error)
{
    idevice_t device = nullptr;
    if (idevice_new(&device, nullptr) != IDEVICE_E_SUCCESS) {
        *error = "no device in normal mode is connected over USB";
        return false;
    }
    lockdownd_client_t lockdown = nullptr;
    bool ok = false;
    if (lockdownd_client_new_with_handshake(device, &lockdown, "iphuc") != LOCKDOWN_E_SUCCESS) {
        *error = "the device did not accept a USB connection (is it switched on and unlocked?)";
    } else if (lockdownd_enter_recovery(lockdown) != LOCKDOWN_E_SUCCESS) {
        *error = "the device refused to restart into recovery mode";
    } else {
        ok = true;
    }
    if (lockdown)
        lockdownd_client_free(lockdown);
    idevice_free(device);
    return ok;
}

bool UsbDevice::sendRecoveryCommand(const std::string &text, std::string *error)
{
    irecv_client_t client = nullptr;
    if (irecv_open_with_ecid(&client, 0) != IRECV_E_SUCCESS || !client) {
        *error = "no device in recovery mode is connected over USB";
        return false;
    }
    const bool ok = irecv_send_command(client, text.c_str()) == IRECV_E_SUCCESS;
    if (!ok)
        *error = "the device did not take the command \"" + text + "\"";
    irecv_close(client);
    return ok;
}

} // namespace iphuc
