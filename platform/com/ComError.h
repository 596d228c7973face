// The exception a failed call on a platform object raises: it carries the call's
// HRESULT. Callers that read a page catch it at their edge and drop what failed.
#pragma once

#include <exception>
#include <string>

#include "platform/base/Types.h"

class ComError : public std::exception {
public:
    explicit ComError(HRESULT error);

    // The failure code (always a FAILED value).
    HRESULT Error() const noexcept { return error_; }
    // "COM error 0x80004005" and the like.
    const char* what() const noexcept override { return message_.c_str(); }

private:
    HRESULT error_;
    std::string message_;
};
