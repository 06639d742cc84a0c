// The serial devices as Qt's port enumeration sees them, each named by its
// stable by-id link where it has one.
#pragma once

#include <vector>

#include "link/serial_device.h"

namespace vorlink {

class QtSerialDevices final : public SerialDeviceSource {
 public:
  std::vector<SerialDevice> Devices() override;
};

}  // namespace vorlink
