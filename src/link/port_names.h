#pragma once
// COM1 and COM2 are what the operator chooses and options.sav keeps. On Windows they are the
// system's ports of those names; elsewhere each stands for a device the operator picks.

#include <string>

namespace ws {

struct PortMap {
    std::string com1 = "/dev/ttyS0";
    std::string com2 = "/dev/ttyS1";
};

// The device to open for a port name: COM1/COM2 through the map (on Windows as they are),
// anything else (a device path) unchanged.
std::string DeviceFor(const std::string& portName, const PortMap& map);

}  // namespace ws
