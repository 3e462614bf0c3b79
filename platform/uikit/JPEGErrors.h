#pragma once

// libjpeg's fatal errors, turned into a jump back to the caller (which
// cleans up and answers none) instead of an exit. Internal to uikit's codecs.

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

struct JPEGErrors {
    jpeg_error_mgr manager;
    std::jmp_buf recovery;
};

[[noreturn]] inline void jpegFailed(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JPEGErrors*>(info->err)->recovery, 1);
}

// Sets the errors up for the codec: fatal errors jump, messages are not printed.
inline jpeg_error_mgr* installJPEGErrors(JPEGErrors& errors)
{
    jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jpegFailed;
    errors.manager.output_message = [](j_common_ptr) {};
    return &errors.manager;
}
