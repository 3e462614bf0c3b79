// libFuzzer target: any bytes through the property-list reader, and whatever
// it accepts through both writers and back.

#include <cstdlib>

#include <foundation/PropertyListSerialization.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto value = PropertyListSerialization::propertyListWithData({ data, size });
    if (!value)
        return 0;
    for (auto format : { PropertyListFormat::XML, PropertyListFormat::Binary }) {
        auto written = PropertyListSerialization::dataWithPropertyList(*value, format);
        if (!written)
            std::abort(); // a tree the reader accepted is never too deep to write
        auto reread = PropertyListSerialization::propertyListWithData(*written);
        // Binary keeps every value exactly (NaN compares equal to NaN here).
        if (format == PropertyListFormat::Binary && (!reread || !(*reread == *value)))
            std::abort();
    }
    return 0;
}
