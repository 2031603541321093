#include "platform/ui/DialogPrompts.h"

namespace platform {

DialogPrompts::~DialogPrompts() = default;

}  // namespace platform
