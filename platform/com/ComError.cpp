#include "platform/com/ComError.h"

#include "platform/text/Text.h"

ComError::ComError(HRESULT error)
    : error_(error), message_(FormatText("COM error 0x%08X", static_cast<unsigned>(error))) {}
