#include "zel/platform/exceptions.h"

namespace zel {

Exception::Exception(String message)
    : message_(std::move(message)), utf8_(ToUtf8(message_)) {}

}  // namespace zel
