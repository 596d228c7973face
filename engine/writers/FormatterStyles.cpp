#include "engine/writers/FormatterStyles.h"

#include <exception>

#include "engine/util/StringArrays.h"
#include "formatter/HtmlFormatterInterface.h"
#include "platform/com/Bstr.h"
#include "platform/com/ComError.h"
#include "platform/com/ComLibrary.h"
#include "platform/trace/Trace.h"

namespace {

constexpr int kItemListMode = 2;  // line feed, carriage return, ","

void Check(HRESULT hr) {
    if (FAILED(hr))
        throw ComError(hr);
}

}  // namespace

void GetFormatterStyles(StringArray& array) {
    CoInitialize(nullptr);
    try {
        ComPointer<IHtmlFormatter> formatter;
        Check(CoCreateInstance(CLSID_HtmlFormatter, nullptr, CLSCTX_ALL, IID_IHtmlFormatter,
                               formatter.putVoid()));
        ScopedBstr styles;
        Check(formatter->get_styles(styles.receive()));
        StringArray names;
        SplitText(styles.utf8(), names, kItemListMode);
        array.insert(array.end(), names.begin(), names.end());
    } catch (const std::exception& error) {
        Trace("writers", "GetFormatterStyles: %s", error.what());
    }
    CoUninitialize();
}
