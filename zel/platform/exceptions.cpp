#include "zel/platform/exceptions.h"

#include "zel/platform/export.h"
#include "zel/platform/filename.h"

namespace ZEL_EXPORT zel {

Exception::Exception(String message)
    : message_(std::move(message)), utf8_(FileNameToBytes(message_)) {}

}  // namespace zel
