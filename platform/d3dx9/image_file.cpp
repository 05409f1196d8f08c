// image_file.cpp: header checks for the image formats the texture loader reads.
#include "d3dx9/image_file.h"

#include <string.h>

namespace {

uint32_t be16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }
uint32_t le16(const uint8_t* p) { return uint32_t(p[1]) << 8 | p[0]; }
uint32_t be32(const uint8_t* p) { return be16(p) << 16 | be16(p + 2); }
int32_t le32(const uint8_t* p) { return int32_t(le16(p) | le16(p + 2) << 16); }

bool sideOk(long long side) { return side >= 1 && side <= kMaxImageSide; }

bool accept(long long w, long long h, ImageHeader* header)
{
    if (!sideOk(w) || !sideOk(h))
        return false;
    header->width = int(w);
    header->height = int(h);
    return true;
}

bool contains(const uint8_t* begin, const uint8_t* end, const char* what, size_t n)
{
    for (const uint8_t* p = begin; p + n <= end; ++p)
        if (memcmp(p, what, n) == 0)
            return true;
    return false;
}

bool isSofMarker(uint8_t m)
{
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

// Walks the markers up to the first scan; a complete file has its end
// marker somewhere after that scan (stuffed entropy data never holds it).
bool checkJpeg(const uint8_t* d, size_t size, ImageHeader* header)
{
    size_t pos = 2;
    long long width = 0, height = 0;
    while (pos + 4 <= size) {
        if (d[pos] != 0xFF)
            return false;
        uint8_t marker = d[pos + 1];
        if (marker == 0xFF) {
            ++pos;
            continue;
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            pos += 2;
            continue;
        }
        size_t length = be16(d + pos + 2);
        if (length < 2 || pos + 2 + length > size)
            return false;
        if (isSofMarker(marker)) {
            if (length < 7)
                return false;
            height = be16(d + pos + 5);
            width = be16(d + pos + 7);
        }
        if (marker == 0xDA) {
            const uint8_t endMarker[2] = {0xFF, 0xD9};
            if (!contains(d + pos + 2 + length, d + size, reinterpret_cast<const char*>(endMarker), 2))
                return false;
            return accept(width, height, header);
        }
        pos += 2 + length;
    }
    return false;
}

bool checkPng(const uint8_t* d, size_t size, ImageHeader* header)
{
    if (size < 33 || memcmp(d + 12, "IHDR", 4) != 0)
        return false;
    if (!contains(d + 33, d + size, "IEND", 4))
        return false;
    return accept(be32(d + 16), be32(d + 20), header);
}

bool checkBmp(const uint8_t* d, size_t size, ImageHeader* header)
{
    if (size < 26)
        return false;
    long long w = le32(d + 18), h = le32(d + 22);
    return accept(w, h < 0 ? -h : h, header);
}

bool checkGif(const uint8_t* d, size_t size, ImageHeader* header)
{
    if (size < 13)
        return false;
    return accept(le16(d + 6), le16(d + 8), header);
}

// TGA has no signature: accept only the image types SDL_image decodes with
// a sane header.
bool checkTga(const uint8_t* d, size_t size, ImageHeader* header)
{
    if (size < 18)
        return false;
    uint8_t colorMapType = d[1], imageType = d[2], depth = d[16];
    bool knownType = imageType == 1 || imageType == 2 || imageType == 3 || imageType == 9 ||
                     imageType == 10 || imageType == 11;
    bool knownDepth = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
    if (colorMapType > 1 || !knownType || !knownDepth)
        return false;
    long long w = le16(d + 12), h = le16(d + 14);
    size_t pixels = size_t(w) * size_t(h);
    bool compressed = imageType >= 9;
    // An uncompressed image must hold all its pixels.
    if (!compressed && 18 + d[0] + pixels * ((depth + 7) / 8) > size)
        return false;
    return accept(w, h, header);
}

bool readNumber(const uint8_t* d, size_t size, size_t* pos, long long* out)
{
    while (*pos < size) {
        uint8_t c = d[*pos];
        if (c == '#') {
            while (*pos < size && d[*pos] != '\n')
                ++*pos;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++*pos;
        } else {
            break;
        }
    }
    long long value = 0;
    size_t start = *pos;
    while (*pos < size && d[*pos] >= '0' && d[*pos] <= '9' && value <= kMaxImageSide * 10LL)
        value = value * 10 + (d[(*pos)++] - '0');
    *out = value;
    return *pos > start;
}

bool checkPnm(const uint8_t* d, size_t size, ImageHeader* header)
{
    size_t pos = 2;
    long long w = 0, h = 0;
    if (!readNumber(d, size, &pos, &w) || !readNumber(d, size, &pos, &h))
        return false;
    return accept(w, h, header);
}

} // namespace

bool checkImageFile(const uint8_t* d, size_t size, ImageHeader* header)
{
    if (!d || size < 4 || !header)
        return false;
    if (d[0] == 0xFF && d[1] == 0xD8)
        return checkJpeg(d, size, header);
    if (memcmp(d, "\x89PNG", 4) == 0)
        return checkPng(d, size, header);
    if (d[0] == 'B' && d[1] == 'M')
        return checkBmp(d, size, header);
    if (memcmp(d, "GIF8", 4) == 0)
        return checkGif(d, size, header);
    if (d[0] == 'P' && d[1] >= '1' && d[1] <= '6')
        return checkPnm(d, size, header);
    return checkTga(d, size, header);
}
