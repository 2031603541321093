#include "platform/serial/SerialChannel.h"

namespace platform {

SerialChannel::~SerialChannel() = default;

}  // namespace platform
