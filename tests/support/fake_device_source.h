// A device list that says what the test put in it, and counts the asks.
#pragma once

#include <vector>

#include "link/serial_device.h"

namespace vorlink::testing {

class FakeDeviceSource final : public SerialDeviceSource {
 public:
  std::vector<SerialDevice> devices;
  int asked = 0;
  std::vector<SerialDevice> Devices() override {
    ++asked;
    return devices;
  }
};

}  // namespace vorlink::testing
