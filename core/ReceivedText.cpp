#include "core/ReceivedText.h"

#include <algorithm>

namespace receive {

std::string receivedText(const void* bytes, int count) {
    if (bytes == nullptr || count <= 0) return {};
    const char* begin = static_cast<const char*>(bytes);
    const char* end = begin + count;
    return std::string(begin, std::find(begin, end, '\0'));
}

}  // namespace receive
