// Handing what a Qt device still queues to the system without waiting on
// it, for a close: the system's own buffer takes a script or a last frame
// whole and sends it on after the descriptor is gone.
#pragma once

namespace vorlink {

// Device: a QSerialPort or a QAbstractSocket, whose flush() writes as much as
// the system takes at once.
template <typename Device>
void HandOverQueued(Device& device) {
  while (device.bytesToWrite() > 0) {
    const auto before = device.bytesToWrite();
    if (!device.flush() || device.bytesToWrite() >= before) return;
  }
}

}  // namespace vorlink
