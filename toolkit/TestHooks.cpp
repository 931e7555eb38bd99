#include "toolkit/TestHooks.h"

namespace toolkit::testing {

namespace {
MessageBoxAnswer& answer() {
    static MessageBoxAnswer instance;
    return instance;
}
}  // namespace

void setMessageBoxAnswer(MessageBoxAnswer a) {
    answer() = std::move(a);
}

const MessageBoxAnswer& messageBoxAnswer() {
    return answer();
}

}  // namespace toolkit::testing
