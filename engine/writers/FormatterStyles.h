// The style names the gallery formatter offers, asked of Corvane through COM.
#pragma once

#include "platform/text/Text.h"

// Creates the formatter (CLSID_HtmlFormatter, CLSCTX_ALL), reads its styles and
// appends the names to array in the formatter's order. When the formatter cannot be
// created or answers with a failure, array stays as it was (one trace line on the
// channel "writers"). Never throws. Any thread; it initialises COM for the call.
void GetFormatterStyles(StringArray& array);
