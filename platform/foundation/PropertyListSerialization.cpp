#include "PropertyListSerialization.h"

#include <algorithm>
#include <string_view>

#include <device/FileSystem.h>

Expected<PropertyListDocument> PropertyListSerialization::read(std::span<const std::uint8_t> data)
{
    constexpr std::string_view binaryMagic = "bplist";
    if (data.empty())
        return makeError(ErrorKind::Malformed, "empty file");
    bool isBinary = data.size() >= binaryMagic.size() && std::equal(binaryMagic.begin(), binaryMagic.end(), data.begin());
    auto result = isBinary ? foundation::readBinaryPropertyList(data) : foundation::readXMLPropertyList(data);
    if (!result.value)
        return makeError(ErrorKind::Malformed, std::move(result.error));
    return PropertyListDocument { std::move(*result.value), result.format };
}

std::optional<PropertyListValue> PropertyListSerialization::propertyListWithData(std::span<const std::uint8_t> data)
{
    auto document = read(data);
    return document ? std::optional(std::move(document->value)) : std::nullopt;
}

Expected<PropertyListDocument> PropertyListSerialization::readFile(const std::filesystem::path& hostPath)
{
    auto contents = device::readFile(hostPath);
    if (!contents)
        return makeUnexpected(contents.error());
    return read(*contents);
}

std::optional<NSData> PropertyListSerialization::dataWithPropertyList(const PropertyListValue& value, PropertyListFormat format)
{
    auto data = format == PropertyListFormat::Binary ? foundation::writeBinaryPropertyList(value) : foundation::writeXMLPropertyList(value);
    if (!data || !foundation::fitsPropertyListBudget(value) || data->size() > device::maximumReadSize)
        return std::nullopt;
    return data;
}
