#include "PropertyListSerialization.h"

#include <algorithm>
#include <string_view>

#include <device/FileSystem.h>

PropertyListSerialization::ReadResult PropertyListSerialization::read(std::span<const std::uint8_t> data)
{
    constexpr std::string_view binaryMagic = "bplist";
    if (data.empty())
        return { std::nullopt, PropertyListFormat::XML, "empty file" };
    if (data.size() >= binaryMagic.size() && std::equal(binaryMagic.begin(), binaryMagic.end(), data.begin()))
        return foundation::readBinaryPropertyList(data);
    return foundation::readXMLPropertyList(data);
}

PropertyListSerialization::ReadResult PropertyListSerialization::readFile(const std::filesystem::path& hostPath)
{
    auto contents = device::readFile(hostPath);
    if (!contents)
        return { std::nullopt, PropertyListFormat::XML, "cannot read the file" };
    return read(*contents);
}

std::optional<NSData> PropertyListSerialization::dataWithPropertyList(const PropertyListValue& value, PropertyListFormat format)
{
    auto data = format == PropertyListFormat::Binary ? foundation::writeBinaryPropertyList(value) : foundation::writeXMLPropertyList(value);
    if (!data || !foundation::fitsPropertyListBudget(value) || data->size() > device::maximumReadSize)
        return std::nullopt;
    return data;
}
