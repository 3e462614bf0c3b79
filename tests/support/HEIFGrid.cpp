#include "HEIFGrid.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include <libheif/heif.h>

namespace heifgrid {

namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

void put32(Bytes& out, std::uint32_t value)
{
    put16(out, value >> 16);
    put16(out, value & 0xffff);
}

void putType(Bytes& out, const char* type)
{
    out.insert(out.end(), type, type + 4);
}

// A box: size, type, then the body; a full box's body starts with its version and flags.
Bytes box(const char* type, const Bytes& body)
{
    Bytes out;
    put32(out, static_cast<std::uint32_t>(8 + body.size()));
    putType(out, type);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes fullBox(const char* type, std::uint8_t version, std::uint32_t flags, const Bytes& body)
{
    Bytes withHeader;
    put32(withHeader, (static_cast<std::uint32_t>(version) << 24) | flags);
    withHeader.insert(withHeader.end(), body.begin(), body.end());
    return box(type, withHeader);
}

void append(Bytes& out, const Bytes& more)
{
    out.insert(out.end(), more.begin(), more.end());
}

// Reading the one-image files libheif writes.
struct Reader {
    const Bytes& bytes;

    std::uint64_t read(std::size_t at, int size) const
    {
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i)
            value = value << 8 | bytes.at(at + static_cast<std::size_t>(i));
        return value;
    }
    // The first child box of the type within [begin, end): its start and end.
    std::optional<std::pair<std::size_t, std::size_t>> find(const char* type, std::size_t begin, std::size_t end) const
    {
        while (begin + 8 <= end) {
            auto size = static_cast<std::size_t>(read(begin, 4));
            if (size < 8 || begin + size > end)
                return std::nullopt;
            if (std::memcmp(&bytes[begin + 4], type, 4) == 0)
                return std::pair { begin, begin + size };
            begin += size;
        }
        return std::nullopt;
    }
};

// A tile's HEVC configuration box and its coded data, from the file libheif writes for it.
struct Tile {
    Bytes configuration;
    Bytes data;
};

std::optional<Tile> tileOf(const Bytes& file)
{
    Reader reader { file };
    auto meta = reader.find("meta", 0, file.size());
    if (!meta)
        return std::nullopt;
    std::size_t metaBody = meta->first + 12;
    auto iprp = reader.find("iprp", metaBody, meta->second);
    auto ipco = iprp ? reader.find("ipco", iprp->first + 8, iprp->second) : std::nullopt;
    auto hvcC = ipco ? reader.find("hvcC", ipco->first + 8, ipco->second) : std::nullopt;
    auto iloc = reader.find("iloc", metaBody, meta->second);
    if (!hvcC || !iloc)
        return std::nullopt;
    Tile tile;
    tile.configuration.assign(file.begin() + static_cast<std::ptrdiff_t>(hvcC->first), file.begin() + static_cast<std::ptrdiff_t>(hvcC->second));
    // iloc: version, then the field sizes, then each item's extents.
    std::size_t at = iloc->first + 8;
    auto version = static_cast<int>(reader.read(at, 1));
    at += 4;
    auto sizes = reader.read(at, 2);
    at += 2;
    int offsetSize = static_cast<int>(sizes >> 12 & 15), lengthSize = static_cast<int>(sizes >> 8 & 15), baseOffsetSize = static_cast<int>(sizes >> 4 & 15);
    int indexSize = version >= 1 ? static_cast<int>(sizes & 15) : 0;
    int idSize = version == 2 ? 4 : 2;
    auto itemCount = reader.read(at, version == 2 ? 4 : 2);
    at += version == 2 ? 4 : 2;
    if (itemCount < 1)
        return std::nullopt;
    at += static_cast<std::size_t>(idSize) + (version >= 1 ? 2 : 0) + 2;
    auto baseOffset = reader.read(at, baseOffsetSize);
    at += static_cast<std::size_t>(baseOffsetSize);
    auto extentCount = reader.read(at, 2);
    at += 2;
    for (std::uint64_t extent = 0; extent < extentCount; ++extent) {
        at += static_cast<std::size_t>(indexSize);
        auto offset = static_cast<std::size_t>(baseOffset + reader.read(at, offsetSize));
        at += static_cast<std::size_t>(offsetSize);
        auto length = static_cast<std::size_t>(reader.read(at, lengthSize));
        at += static_cast<std::size_t>(lengthSize);
        if (offset + length > file.size())
            return std::nullopt;
        tile.data.insert(tile.data.end(), file.begin() + static_cast<std::ptrdiff_t>(offset), file.begin() + static_cast<std::ptrdiff_t>(offset + length));
    }
    return tile;
}

std::optional<Tile> encodeTile(heif_encoder* encoder, const std::uint8_t* rgb, int width, int height, int left, int top, int size)
{
    heif_image* image = nullptr;
    if (heif_image_create(size, size, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image).code != heif_error_Ok)
        return std::nullopt;
    heif_image_add_plane(image, heif_channel_interleaved, size, size, 8);
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < size; ++y) {
        int sourceY = std::min(top + y, height - 1);
        for (int x = 0; x < size; ++x) {
            int sourceX = std::min(left + x, width - 1);
            std::memcpy(plane + static_cast<std::ptrdiff_t>(y) * stride + x * 3,
                rgb + (static_cast<std::size_t>(sourceY) * static_cast<std::size_t>(width) + static_cast<std::size_t>(sourceX)) * 3, 3);
        }
    }
    heif_context* context = heif_context_alloc();
    Bytes file;
    heif_writer writer { 1, [](heif_context*, const void* data, size_t length, void* userdata) {
                            auto* out = static_cast<Bytes*>(userdata);
                            out->insert(out->end(), static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + length);
                            return heif_error { heif_error_Ok, heif_suberror_Unspecified, "" };
                        } };
    bool isEncoded = heif_context_encode_image(context, image, encoder, nullptr, nullptr).code == heif_error_Ok
        && heif_context_write(context, &writer, &file).code == heif_error_Ok;
    heif_context_free(context);
    heif_image_release(image);
    return isEncoded ? tileOf(file) : std::nullopt;
}

}

std::vector<std::uint8_t> encode(const std::uint8_t* rgb, int width, int height, Tiling tiling)
{
    Layout layout;
    return encode(rgb, width, height, tiling, layout);
}

std::vector<std::uint8_t> encode(const std::uint8_t* rgb, int width, int height, Tiling tiling, Layout& layout)
{
    heif_context* probe = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    bool hasEncoder = heif_context_get_encoder_for_format(probe, heif_compression_HEVC, &encoder).code == heif_error_Ok;
    heif_context_free(probe);
    if (!hasEncoder || width <= 0 || height <= 0 || width > 65535 || height > 65535)
        return {};
    heif_encoder_set_lossy_quality(encoder, tiling.quality);
    int columns = (width + tiling.tileSize - 1) / tiling.tileSize, rows = (height + tiling.tileSize - 1) / tiling.tileSize;
    std::vector<Tile> tiles;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            auto tile = encodeTile(encoder, rgb, width, height, column * tiling.tileSize, row * tiling.tileSize, tiling.tileSize);
            if (!tile) {
                heif_encoder_release(encoder);
                return {};
            }
            tiles.push_back(std::move(*tile));
        }
    }
    heif_encoder_release(encoder);
    if (tiles.size() > 65534 || rows > 256 || columns > 256)
        return {};

    // Properties: each distinct HEVC configuration once, then the tiles' and the grid's sizes.
    std::vector<Bytes> configurations;
    std::vector<unsigned> configurationOfTile;
    for (auto& tile : tiles) {
        auto found = std::find(configurations.begin(), configurations.end(), tile.configuration);
        configurationOfTile.push_back(static_cast<unsigned>(found - configurations.begin()));
        if (found == configurations.end())
            configurations.push_back(tile.configuration);
    }
    auto spatialExtent = [](int w, int h) {
        Bytes body;
        put32(body, static_cast<std::uint32_t>(w));
        put32(body, static_cast<std::uint32_t>(h));
        return fullBox("ispe", 0, 0, body);
    };
    Bytes ipcoBody;
    for (auto& configuration : configurations)
        append(ipcoBody, configuration);
    append(ipcoBody, spatialExtent(tiling.tileSize, tiling.tileSize));
    append(ipcoBody, spatialExtent(width, height));
    auto tileExtentIndex = static_cast<unsigned>(configurations.size() + 1), gridExtentIndex = tileExtentIndex + 1;
    // Associations with 15-bit indices (flags 1); the essential bit on the coding configuration.
    Bytes ipmaBody;
    put32(ipmaBody, static_cast<std::uint32_t>(tiles.size() + 1));
    put16(ipmaBody, 1);
    ipmaBody.push_back(1);
    put16(ipmaBody, gridExtentIndex);
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        put16(ipmaBody, static_cast<unsigned>(i + 2));
        ipmaBody.push_back(2);
        put16(ipmaBody, 0x8000 | (configurationOfTile[i] + 1));
        put16(ipmaBody, tileExtentIndex);
    }
    Bytes iprp = box("iprp", [&] {
        Bytes body = box("ipco", ipcoBody);
        append(body, fullBox("ipma", 0, 1, ipmaBody));
        return body;
    }());

    // hdlr: pre_defined, the handler 'pict', three reserved words, an empty name.
    Bytes hdlrBody(4 + 4 + 12 + 1, 0);
    std::memcpy(&hdlrBody[4], "pict", 4);
    Bytes pitmBody;
    put16(pitmBody, 1);
    Bytes iinfBody;
    put16(iinfBody, static_cast<unsigned>(tiles.size() + 1));
    auto itemInfo = [](unsigned id, const char* type, bool isHidden) {
        Bytes body;
        put16(body, id);
        put16(body, 0);
        putType(body, type);
        body.push_back(0);
        return fullBox("infe", 2, isHidden ? 1 : 0, body);
    };
    append(iinfBody, itemInfo(1, "grid", false));
    for (std::size_t i = 0; i < tiles.size(); ++i)
        append(iinfBody, itemInfo(static_cast<unsigned>(i + 2), "hvc1", true));
    Bytes dimgBody;
    put16(dimgBody, 1);
    put16(dimgBody, static_cast<unsigned>(tiles.size()));
    for (std::size_t i = 0; i < tiles.size(); ++i)
        put16(dimgBody, static_cast<unsigned>(i + 2));
    Bytes gridDescriptor { 0, 0, static_cast<std::uint8_t>(rows - 1), static_cast<std::uint8_t>(columns - 1) };
    put16(gridDescriptor, static_cast<unsigned>(width));
    put16(gridDescriptor, static_cast<unsigned>(height));

    // iloc version 1: 4-byte offsets and lengths; the grid's data in idat, each tile's in mdat.
    auto ilocFor = [&](std::uint32_t firstTileOffset) {
        Bytes body;
        put16(body, 0x4400);
        put16(body, static_cast<unsigned>(tiles.size() + 1));
        put16(body, 1);
        put16(body, 1); // construction method 1: idat
        put16(body, 0);
        put16(body, 1);
        put32(body, 0);
        put32(body, static_cast<std::uint32_t>(gridDescriptor.size()));
        std::uint32_t offset = firstTileOffset;
        for (std::size_t i = 0; i < tiles.size(); ++i) {
            put16(body, static_cast<unsigned>(i + 2));
            put16(body, 0);
            put16(body, 0);
            put16(body, 1);
            put32(body, offset);
            put32(body, static_cast<std::uint32_t>(tiles[i].data.size()));
            offset += static_cast<std::uint32_t>(tiles[i].data.size());
        }
        return fullBox("iloc", 1, 0, body);
    };
    Bytes ftypBody;
    putType(ftypBody, "heic");
    put32(ftypBody, 0);
    putType(ftypBody, "mif1");
    putType(ftypBody, "heic");
    Bytes ftyp = box("ftyp", ftypBody);

    auto metaFor = [&](std::uint32_t firstTileOffset) {
        Bytes body = fullBox("hdlr", 0, 0, hdlrBody);
        append(body, fullBox("pitm", 0, 0, pitmBody));
        append(body, fullBox("iinf", 0, 0, iinfBody));
        append(body, fullBox("iref", 0, 0, box("dimg", dimgBody)));
        append(body, iprp);
        append(body, ilocFor(firstTileOffset));
        append(body, box("idat", gridDescriptor));
        return fullBox("meta", 0, 0, body);
    };
    // The offsets' values do not change the meta box's size: measure it, then write it with them.
    auto metaSize = static_cast<std::uint32_t>(metaFor(0).size());
    std::uint32_t firstTileOffset = static_cast<std::uint32_t>(ftyp.size()) + metaSize + 8;
    Bytes meta = metaFor(firstTileOffset);
    Bytes file = ftyp;
    append(file, meta);
    layout.gridDescriptorOffset = file.size() - (gridDescriptor.size());
    Bytes mdatBody;
    for (auto& tile : tiles)
        append(mdatBody, tile.data);
    append(file, box("mdat", mdatBody));
    // The dimg box's count follows its 8-byte header and the 2-byte from-item.
    std::string haystack(file.begin(), file.end());
    layout.referenceCountOffset = haystack.find("dimg") + 4 + 2;
    // The grid's ispe is the last one: its box header and version come before the width.
    layout.gridExtentOffset = haystack.rfind("ispe") + 4 + 4;
    return file;
}

}
