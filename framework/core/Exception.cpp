#include "framework/core/Exception.h"

#include <utility>

#include "framework/core/Text.h"

Exception::Exception(std::u16string AMessage) : FMessage(std::move(AMessage)), FWhat(Utf8FromUtf16(FMessage)) {}
