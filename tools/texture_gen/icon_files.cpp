// icon_files.cpp: the crate icon as PNG and as a Windows .ico.
#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <utility>

#include "crate_icon.h"

namespace {

constexpr uint32_t kPngInIcoSide = 256;        // Windows keeps its large icons PNG-compressed
constexpr uint32_t kBitmapHeaderSize = 40; // BITMAPINFOHEADER
constexpr uint32_t kIconDirSize = 6;
constexpr uint32_t kIconEntrySize = 16;

using Bytes = std::vector<uint8_t>;

void put16(Bytes& b, uint32_t v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}

void put32(Bytes& b, uint32_t v)
{
    put16(b, v & 0xFFFFu);
    put16(b, v >> 16);
}

// The image as PNG bytes, encoded in memory.
bool encodePng(const IconImage& image, Bytes& out)
{
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(image.rgba.data()), image.side,
                                                              image.side, 32, image.side * 4, SDL_PIXELFORMAT_RGBA32);
    if (!surface)
        return false;
    // Compression never grows a PNG past its raw pixels by this much.
    Bytes buffer(image.rgba.size() * 2 + 4096);
    SDL_RWops* rw = SDL_RWFromMem(buffer.data(), int(buffer.size()));
    bool ok = rw && IMG_SavePNG_RW(surface, rw, 0) == 0;
    if (ok) {
        buffer.resize(size_t(SDL_RWtell(rw)));
        out.swap(buffer);
    }
    if (rw)
        SDL_RWclose(rw);
    SDL_FreeSurface(surface);
    return ok;
}

// A 32-bit bottom-up BGRA bitmap of twice the height (colour, then the
// 1-bit mask that old Windows draws through), with no file header.
Bytes iconBitmap(const IconImage& image)
{
    const uint32_t side = uint32_t(image.side);
    const uint32_t maskRow = (side + 31) / 32 * 4;
    Bytes b;
    put32(b, kBitmapHeaderSize);
    put32(b, side);
    put32(b, side * 2);
    put16(b, 1);  // planes
    put16(b, 32); // bits per pixel
    put32(b, 0);  // uncompressed
    put32(b, side * side * 4 + maskRow * side);
    for (int i = 0; i < 4; ++i)
        put32(b, 0); // resolution and palette: unused
    for (uint32_t y = side; y-- > 0;) {
        for (uint32_t x = 0; x < side; ++x) {
            const uint8_t* p = &image.rgba[(y * side + x) * 4];
            b.insert(b.end(), {p[2], p[1], p[0], p[3]});
        }
    }
    for (uint32_t y = side; y-- > 0;) {
        Bytes row(maskRow, 0);
        for (uint32_t x = 0; x < side; ++x)
            if (image.rgba[(y * side + x) * 4 + 3] == 0)
                row[x / 8] = uint8_t(row[x / 8] | (0x80u >> (x % 8)));
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

bool writeFile(const Bytes& bytes, const char* path)
{
    std::FILE* f = std::fopen(path, "wb");
    bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f && std::fclose(f) != 0)
        ok = false;
    if (!ok)
        std::fprintf(stderr, "texture_gen: cannot write %s\n", path);
    return ok;
}

} // namespace

bool saveIconPng(const IconImage& image, const char* path)
{
    Bytes png;
    if (!encodePng(image, png)) {
        std::fprintf(stderr, "texture_gen: cannot encode %s: %s\n", path, IMG_GetError());
        return false;
    }
    return writeFile(png, path);
}

bool saveIco(const std::vector<IconImage>& images, const char* path)
{
    std::vector<Bytes> data;
    for (const IconImage& image : images) {
        Bytes d;
        if (image.side < 1 || uint32_t(image.side) > kPngInIcoSide) {
            std::fprintf(stderr, "texture_gen: an icon cannot hold a %d-pixel image\n", image.side);
            return false;
        }
        if (uint32_t(image.side) < kPngInIcoSide)
            d = iconBitmap(image);
        else if (!encodePng(image, d)) {
            std::fprintf(stderr, "texture_gen: cannot encode %s: %s\n", path, IMG_GetError());
            return false;
        }
        data.push_back(std::move(d));
    }
    Bytes ico;
    put16(ico, 0);
    put16(ico, 1); // an icon, not a cursor
    put16(ico, uint32_t(images.size()));
    uint32_t offset = kIconDirSize + kIconEntrySize * uint32_t(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const uint32_t side = uint32_t(images[i].side);
        const uint8_t stored = uint8_t(side == kPngInIcoSide ? 0 : side); // 0 stands for 256
        ico.push_back(stored);
        ico.push_back(stored);
        ico.push_back(0); // no palette
        ico.push_back(0);
        put16(ico, 1);  // planes
        put16(ico, 32); // bits per pixel
        put32(ico, uint32_t(data[i].size()));
        put32(ico, offset);
        offset += uint32_t(data[i].size());
    }
    for (const Bytes& d : data)
        ico.insert(ico.end(), d.begin(), d.end());
    return writeFile(ico, path);
}
