#pragma once
// Our 28-byte line-settings record on the port, and the port's name.

#include "platform/serial/PolledPort.h"
#include "voltaro/model/SerialControlRecord.h"

#include <QString>

#include <string>

namespace voltaro {

// What the port is opened with: baud rate, data bits, parity, stop bits, flow
// control (CTS output flow or RTS handshake: hardware; XON/XOFF: software) and
// the modem lines.
platform::PortSettings PortSettingsFromRecord(const SerialControlRecord& dcb);

// Sets the flow-control bits of the record the way the platform's dialog did:
// hardware is CTS output flow with RTS handshake, software is XON/XOFF both ways.
void SetFlowControl(SerialControlRecord& dcb, platform::PortSettings::Flow flow);
platform::PortSettings::Flow FlowControlOf(const SerialControlRecord& dcb);

// The device to open: the chosen device name when there is one, else "COM<n>"
// with n = index + 1 (on Windows) or the n-th standard serial device elsewhere.
QString SerialPortName(int nPortIndex, const std::string& strPortName);

// Port indexes offered on Windows.
inline constexpr int kWindowsPortCount = 14;

}  // namespace voltaro
