// iphuc: carries out a command file against the iPod Touch or iPhone on the
// USB cable. Usage: iphuc -s <command file>
#include "CommandFile.h"
#include "UsbDevice.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

constexpr int kWaitSeconds = 60;

int usage()
{
    std::fprintf(stderr, "usage: iphuc -s <command file>\n");
    return 2;
}

bool waitFor(const iphuc::UsbDevice &usb, iphuc::DeviceMode wanted)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kWaitSeconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (usb.mode() == wanted)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3 || std::string(argv[1]) != "-s")
        return usage();
    const std::string fileName = argv[2];
    std::ifstream file(fileName, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "iphuc: cannot read the command file \"%s\".\n", fileName.c_str());
        return 1;
    }
    std::ostringstream text;
    text << file.rdbuf();
    std::vector<iphuc::Command> commands;
    std::string error;
    if (!iphuc::parseCommandFile(text.str(), fileName, &commands, &error)) {
        std::fprintf(stderr, "iphuc: %s\n", error.c_str());
        return 1;
    }

    iphuc::UsbDevice usb;
    if (usb.mode() == iphuc::DeviceMode::None) {
        std::fprintf(stderr, "iphuc: no iPod Touch or iPhone is connected over USB. Connect it "
                             "with its USB cable, switch it on and try again.\n");
        return 1;
    }
    for (const iphuc::Command &c : commands) {
        bool ok = true;
        switch (c.kind) {
        case iphuc::Command::Kind::EnterRecovery:
            std::printf("iphuc: restarting the device into recovery mode...\n");
            ok = usb.enterRecovery(&error);
            break;
        case iphuc::Command::Kind::WaitFor: {
            const iphuc::DeviceMode wanted = c.argument == "normal" ? iphuc::DeviceMode::Normal
                                             : c.argument == "recovery"
                                                 ? iphuc::DeviceMode::Recovery
                                                 : iphuc::DeviceMode::Dfu;
            std::printf("iphuc: waiting for the device in %s mode...\n", c.argument.c_str());
            std::fflush(stdout);
            ok = waitFor(usb, wanted);
            if (!ok)
                error = "the device did not appear in " + c.argument + " mode within "
                        + std::to_string(kWaitSeconds) + " seconds";
            break;
        }
        case iphuc::Command::Kind::SendCommand:
            ok = usb.sendRecoveryCommand(c.argument, &error);
            break;
        case iphuc::Command::Kind::EnterDfu:
            // A device in recovery mode goes into DFU mode only by its buttons.
            std::printf("iphuc: now hold the Power and Home buttons for 10 seconds, then release "
                        "Power and keep holding Home until the device is in DFU mode.\n");
            break;
        case iphuc::Command::Kind::Exit: return 0;
        }
        std::fflush(stdout);
        if (!ok) {
            std::fprintf(stderr, "iphuc: %s, line %d: %s.\n", fileName.c_str(), c.line,
                         error.c_str());
            return 1;
        }
    }
    return 0;
}
