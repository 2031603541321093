#include "voltaro/model/DataSample.h"

#include <algorithm>
#include <cstring>

namespace voltaro {

std::string_view DataSample::Text() const {
    const char* end = static_cast<const char*>(std::memchr(text, '\0', kTextSize));
    return {text, end ? static_cast<std::size_t>(end - text) : kTextSize};
}

void DataSample::SetText(std::string_view line) {
    const std::size_t n = std::min(line.size(), kTextSize);
    std::memcpy(text, line.data(), n);
    std::memset(text + n, 0, kTextSize - n);
}

}  // namespace voltaro
