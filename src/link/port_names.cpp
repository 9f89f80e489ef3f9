#include "link/port_names.h"

namespace ws {

std::string DeviceFor(const std::string& portName, const PortMap& map) {
#ifdef _WIN32
    (void)map;
    return portName;
#else
    if (portName == "COM1")
        return map.com1.empty() ? "/dev/ttyS0" : map.com1;
    if (portName == "COM2")
        return map.com2.empty() ? "/dev/ttyS1" : map.com2;
    return portName;
#endif
}

}  // namespace ws
