#include "voltaro/reception/SerialLineSettings.h"

#include "platform/core/TextCodec.h"

namespace voltaro {

using platform::PortSettings;

platform::PortSettings PortSettingsFromRecord(const SerialControlRecord& dcb) {
    PortSettings s;
    s.BaudRate = static_cast<qint32>(dcb.BaudRate);
    s.DataBits = dcb.ByteSize;
    switch (dcb.ParityMode) {
        case SerialControlRecord::OddParity:
            s.ParityMode = PortSettings::Parity::Odd;
            break;
        case SerialControlRecord::EvenParity:
            s.ParityMode = PortSettings::Parity::Even;
            break;
        case SerialControlRecord::MarkParity:
            s.ParityMode = PortSettings::Parity::Mark;
            break;
        case SerialControlRecord::SpaceParity:
            s.ParityMode = PortSettings::Parity::Space;
            break;
        default:
            s.ParityMode = PortSettings::Parity::None;
            break;
    }
    switch (dcb.StopBitsMode) {
        case SerialControlRecord::OneHalfStopBits:
            s.Stop = PortSettings::StopBits::OneAndHalf;
            break;
        case SerialControlRecord::TwoStopBits:
            s.Stop = PortSettings::StopBits::Two;
            break;
        default:
            s.Stop = PortSettings::StopBits::One;
            break;
    }
    s.FlowControl = FlowControlOf(dcb);
    s.Dtr = dcb.DtrControl() != 0;
    s.Rts = dcb.RtsControl() != 0;
    s.ReceiveQueue = 2048;
    return s;
}

PortSettings::Flow FlowControlOf(const SerialControlRecord& dcb) {
    if ((dcb.Flags & SerialControlRecord::kOutxCtsFlow) || dcb.RtsControl() == 2)
        return PortSettings::Flow::Hardware;
    if (dcb.Flags & (SerialControlRecord::kOutX | SerialControlRecord::kInX))
        return PortSettings::Flow::Software;
    return PortSettings::Flow::None;
}

void SetFlowControl(SerialControlRecord& dcb, PortSettings::Flow flow) {
    constexpr std::uint32_t rtsMask = 3u << SerialControlRecord::kRtsControlShift;
    dcb.Flags &= ~(SerialControlRecord::kOutxCtsFlow | SerialControlRecord::kOutxDsrFlow |
                   SerialControlRecord::kOutX | SerialControlRecord::kInX | rtsMask);
    switch (flow) {
        case PortSettings::Flow::Hardware:
            dcb.Flags |=
                SerialControlRecord::kOutxCtsFlow | (2u << SerialControlRecord::kRtsControlShift);
            break;
        case PortSettings::Flow::Software:
            dcb.Flags |= SerialControlRecord::kOutX | SerialControlRecord::kInX |
                         (1u << SerialControlRecord::kRtsControlShift);
            break;
        case PortSettings::Flow::None:
            dcb.Flags |= 1u << SerialControlRecord::kRtsControlShift;
            break;
    }
}

QString SerialPortName(int nPortIndex, const std::string& strPortName) {
    if (!strPortName.empty())
        return platform::toQt(strPortName);
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(nPortIndex + 1);
#else
    return QStringLiteral("/dev/ttyS%1").arg(nPortIndex);
#endif
}

}  // namespace voltaro
