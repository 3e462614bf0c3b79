#include "TestPhoto.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>
#include <libheif/heif.h>
#include <random>
#include <vector>
#include <webp/encode.h>

#include "support/HEIFGrid.h"

namespace {

// Value noise: random values on a lattice this many pixels apart, smoothly
// interpolated; the same for the same seed.
class ValueNoise {
public:
    ValueNoise(int width, int height, int period, unsigned seed)
        : m_period(period)
        , m_columns(width / period + 2)
    {
        std::mt19937 random(seed);
        std::uniform_real_distribution<float> unit(-1, 1);
        m_values.resize(static_cast<std::size_t>(m_columns) * static_cast<std::size_t>(height / period + 2));
        for (auto& value : m_values)
            value = unit(random);
    }
    float at(int x, int y) const
    {
        int cellX = x / m_period, cellY = y / m_period;
        float fx = smooth(static_cast<float>(x % m_period) / static_cast<float>(m_period));
        float fy = smooth(static_cast<float>(y % m_period) / static_cast<float>(m_period));
        auto value = [&](int column, int row) {
            return m_values[static_cast<std::size_t>(row) * static_cast<std::size_t>(m_columns) + static_cast<std::size_t>(column)];
        };
        float top = value(cellX, cellY) + (value(cellX + 1, cellY) - value(cellX, cellY)) * fx;
        float bottom = value(cellX, cellY + 1) + (value(cellX + 1, cellY + 1) - value(cellX, cellY + 1)) * fx;
        return top + (bottom - top) * fy;
    }

private:
    static float smooth(float t) { return t * t * (3 - 2 * t); }
    int m_period;
    int m_columns;
    std::vector<float> m_values;
};

}

namespace {

bool writeJPEG(const std::filesystem::path& path, int width, int height, const std::vector<unsigned char>& pixels)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    jpeg_compress_struct info {};
    jpeg_error_mgr errors {};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    for (int y = 0; y < height; ++y) {
        JSAMPROW rows[1] = { const_cast<unsigned char*>(pixels.data()) + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3 };
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

bool writeWebP(const std::filesystem::path& path, int width, int height, const std::vector<unsigned char>& pixels)
{
    std::uint8_t* output = nullptr;
    std::size_t size = WebPEncodeRGB(pixels.data(), width, height, width * 3, 90, &output);
    FILE* file = size ? std::fopen(path.c_str(), "wb") : nullptr;
    bool isWritten = file && std::fwrite(output, 1, size, file) == size;
    WebPFree(output);
    return file && std::fclose(file) == 0 && isWritten;
}

bool writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    FILE* file = bytes.empty() ? nullptr : std::fopen(path.c_str(), "wb");
    bool isWritten = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return file && std::fclose(file) == 0 && isWritten;
}

// HEVC in a HEIF file, quality as a camera sets it: in 512-pixel tiles as an
// iPhone stores it, or as one image.
bool writeHEIC(const std::filesystem::path& path, int width, int height, const std::vector<unsigned char>& pixels, HEICLayout layout)
{
    if (layout == HEICLayout::Grid)
        return writeBytes(path, heifgrid::encode(pixels.data(), width, height, { .tileSize = 512, .quality = 85 }));
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    if (heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code != heif_error_Ok) {
        heif_context_free(context);
        return false;
    }
    heif_encoder_set_lossy_quality(encoder, 85);
    heif_image* image = nullptr;
    heif_image_create(width, height, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, width, height, 8);
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < height; ++y)
        std::memcpy(plane + static_cast<std::ptrdiff_t>(y) * stride, pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3,
            static_cast<std::size_t>(width) * 3);
    bool isWritten = heif_context_encode_image(context, image, encoder, nullptr, nullptr).code == heif_error_Ok
        && heif_context_write_to_file(context, path.c_str()).code == heif_error_Ok;
    heif_image_release(image);
    heif_encoder_release(encoder);
    heif_context_free(context);
    return isWritten;
}

}

bool writeTestPhoto(const std::filesystem::path& path, int width, int height, PhotoKind kind, HEICLayout layout)
{
    std::mt19937 random(4032);
    std::normal_distribution<float> grain(0, 6);
    // Tree positions along the hills.
    std::vector<std::pair<double, double>> trees;
    std::uniform_real_distribution<double> unit(0, 1);
    for (int i = 0; i < 120; ++i)
        trees.emplace_back(unit(random), 0.012 + 0.02 * unit(random));
    // The camera's texture: octaves from leaf to cloud size, one field for
    // brightness and one per channel for hue; and its sensor noise.
    bool isCamera = kind == PhotoKind::Camera;
    std::vector<ValueNoise> octaves, tints;
    if (isCamera) {
        unsigned seed = 12;
        for (int period : { 6, 13, 29, 71, 190 })
            octaves.emplace_back(width, height, period, seed++);
        for (int channel = 0; channel < 3; ++channel)
            tints.emplace_back(width, height, 11 + 4 * channel, seed++);
    }
    std::normal_distribution<float> sensor(0, 9);
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    for (int y = 0; y < height; ++y) {
        unsigned char* row = pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3;
        double v = static_cast<double>(y) / height;
        for (int x = 0; x < width; ++x) {
            double u = static_cast<double>(x) / width;
            // Sky: deep blue at the top to a warm haze at the horizon, with the sun's glow.
            double r = 40 + 200 * v, g = 90 + 120 * v, b = 200 - 40 * v;
            double sun = std::exp(-((u - 0.7) * (u - 0.7) + (v - 0.35) * (v - 0.35)) * 60);
            r += 120 * sun;
            g += 90 * sun;
            b += 20 * sun;
            // Far hills, then near hills with trees, then a meadow.
            double farHill = 0.55 + 0.05 * std::sin(u * 9 + 1) + 0.02 * std::sin(u * 31);
            double nearHill = 0.68 + 0.06 * std::sin(u * 5 + 2) + 0.015 * std::sin(u * 47);
            if (v > farHill) {
                r = 90 + 30 * std::sin(u * 13);
                g = 110 + 20 * std::sin(u * 7);
                b = 140;
            }
            if (v > nearHill) {
                double depth = (v - nearHill) / (1 - nearHill);
                r = 60 + 60 * depth + 25 * std::sin(u * 80 + v * 40);
                g = 110 + 50 * depth + 20 * std::sin(u * 60);
                b = 40 + 20 * depth;
            }
            for (auto& [treeX, treeWidth] : trees) {
                double dx = (u - treeX) / treeWidth;
                double top = nearHill - 0.08;
                if (std::fabs(dx) < 1 && v > top + std::fabs(dx) * 0.08 && v < nearHill + 0.01) {
                    r = 25 + 15 * dx;
                    g = 70 + 20 * dx;
                    b = 35;
                }
            }
            double channels[3] = { r, g, b };
            float noise = grain(random);
            if (isCamera) {
                float texture = 0, amplitude = 22;
                for (auto& octave : octaves) {
                    texture += amplitude * octave.at(x, y);
                    amplitude *= 0.8f;
                }
                for (int channel = 0; channel < 3; ++channel)
                    channels[channel] += texture + 14 * tints[static_cast<std::size_t>(channel)].at(x, y) + sensor(random);
            }
            for (int channel = 0; channel < 3; ++channel)
                row[static_cast<std::size_t>(x) * 3 + static_cast<std::size_t>(channel)]
                    = static_cast<unsigned char>(std::clamp(channels[channel] + noise, 0.0, 255.0));
        }
    }
    auto extension = path.extension();
    if (extension == ".webp")
        return writeWebP(path, width, height, pixels);
    if (extension == ".heic")
        return writeHEIC(path, width, height, pixels, layout);
    return writeJPEG(path, width, height, pixels);
}
