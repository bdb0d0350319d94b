#include "zel/platform/exceptions.h"

#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

Exception::Exception(String message)
    : message_(std::move(message)), utf8_(ToUtf8(message_)) {}

}  // namespace zel
