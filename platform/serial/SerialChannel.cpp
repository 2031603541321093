#include "platform/serial/SerialChannel.h"

namespace platform {

QString openFailureText(int systemError, const QString& portName) {
    return QStringLiteral("CreateFile failed with error %1  ,%2.\r\n")
        .arg(systemError)
        .arg(portName);
}

SerialChannel::~SerialChannel() = default;

}  // namespace platform
