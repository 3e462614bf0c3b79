// libFuzzer target: the binary property-list reader alone, run with a memory
// limit (-rss_limit_mb) so a file whose shared references expand past what
// the reader may materialise shows up as a failure.

#include <foundation/PropertyListSerialization.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    (void)foundation::readBinaryPropertyList({ data, size });
    return 0;
}
