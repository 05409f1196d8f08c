// image_checks.cpp: header checks for the image formats the texture loader reads.
#include "d3dx9/image_checks.h"

#include <string.h>

namespace {

uint32_t be16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }
uint32_t le16(const uint8_t* p) { return uint32_t(p[1]) << 8 | p[0]; }
uint32_t be32(const uint8_t* p) { return be16(p) << 16 | be16(p + 2); }
uint32_t le32(const uint8_t* p) { return le16(p) | le16(p + 2) << 16; }

const TextureVerdict kOk = {};

TextureVerdict corrupt(const char* detail) { return refuse(TextureProblem::Corrupt, detail); }

TextureVerdict accept(ImageFormat format, long long w, long long h, ImageHeader* header)
{
    if (w < 1 || h < 1)
        return corrupt("an image with no pixels");
    if (w > kMaxImageSide || h > kMaxImageSide)
        return refuse(TextureProblem::ImageTooLarge, "a side over 8192 pixels");
    if (w * h > kMaxImagePixels)
        return refuse(TextureProblem::ImageTooLarge, "over 4096x4096 pixels");
    header->format = format;
    header->width = int(w);
    header->height = int(h);
    return kOk;
}

// ---- JPEG ------------------------------------------------------------------------------
bool isSofMarker(uint8_t m) { return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC; }
// Baseline, extended and progressive, Huffman or arithmetic coded: what libjpeg decodes.
bool isDecodableSof(uint8_t m) { return m == 0xC0 || m == 0xC1 || m == 0xC2 || m == 0xC9 || m == 0xCA; }
bool isRestartMarker(uint8_t m) { return m >= 0xD0 && m <= 0xD7; }

// The position of the marker that ends the entropy-coded data starting at
// `pos`: an 0xFF that is neither stuffing (0xFF00) nor a restart marker.
size_t skipEntropyData(const uint8_t* d, size_t size, size_t pos)
{
    for (; pos + 1 < size; ++pos) {
        if (d[pos] != 0xFF)
            continue;
        uint8_t next = d[pos + 1];
        if (next != 0x00 && !isRestartMarker(next) && next != 0xFF)
            return pos;
    }
    return size;
}

// Walks every marker to the end of the image, counting the scans.
TextureVerdict checkJpeg(const uint8_t* d, size_t size, ImageHeader* header)
{
    size_t pos = 2;
    long long width = 0, height = 0;
    bool haveFrame = false;
    int scans = 0;
    while (pos + 2 <= size) {
        if (d[pos] != 0xFF)
            return corrupt("a broken JPEG marker");
        uint8_t marker = d[pos + 1];
        if (marker == 0xFF) {
            ++pos;
            continue;
        }
        if (marker == 0xD9) {
            if (!haveFrame || scans == 0)
                return corrupt("a JPEG with no image data");
            return accept(ImageFormat::Jpeg, width, height, header);
        }
        if (marker == 0x01 || isRestartMarker(marker)) {
            pos += 2;
            continue;
        }
        if (pos + 4 > size)
            break;
        size_t length = be16(d + pos + 2);
        if (length < 2 || pos + 2 + length > size)
            break;
        if (isSofMarker(marker)) {
            if (haveFrame)
                return corrupt("a JPEG with two frames");
            if (!isDecodableSof(marker))
                return refuse(TextureProblem::Unsupported, "a lossless or hierarchical JPEG");
            if (length < 8 || length != 8 + 3 * size_t(d[pos + 9]) || d[pos + 9] == 0)
                return corrupt("a broken JPEG frame header");
            height = be16(d + pos + 5);
            width = be16(d + pos + 7);
            haveFrame = true;
        }
        pos += 2 + length;
        if (marker == 0xDA) {
            if (!haveFrame)
                return corrupt("a JPEG scan before its frame");
            if (++scans > kMaxJpegScans)
                return refuse(TextureProblem::ImageTooLarge, "a JPEG of over 100 scans");
            pos = skipEntropyData(d, size, pos);
        }
    }
    return corrupt("a truncated JPEG");
}

// ---- PNG -------------------------------------------------------------------------------
bool pngDepthFits(uint8_t colorType, uint8_t depth)
{
    switch (colorType) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2: case 4: case 6: return depth == 8 || depth == 16;
    default: return false;
    }
}

// Walks the chunks to IEND: a complete file with image data.
TextureVerdict checkPng(const uint8_t* d, size_t size, ImageHeader* header)
{
    if (size < 33 || memcmp(d, "\x89PNG\r\n\x1a\n", 8) != 0 || be32(d + 8) != 13 || memcmp(d + 12, "IHDR", 4) != 0)
        return corrupt("a broken PNG header");
    if (!pngDepthFits(d[25], d[24]) || d[26] != 0 || d[27] != 0 || d[28] > 1)
        return corrupt("a PNG of an impossible kind");
    bool haveData = false;
    for (size_t pos = 33; pos + 12 <= size;) {
        size_t length = be32(d + pos);
        if (length > size - pos - 12)
            break;
        if (memcmp(d + pos + 4, "IDAT", 4) == 0)
            haveData = true;
        if (memcmp(d + pos + 4, "IEND", 4) == 0) {
            if (!haveData)
                return corrupt("a PNG with no image data");
            return accept(ImageFormat::Png, be32(d + 16), be32(d + 20), header);
        }
        pos += length + 12;
    }
    return corrupt("a truncated PNG");
}

// ---- BMP -------------------------------------------------------------------------------
TextureVerdict checkBmp(const uint8_t* d, size_t size, ImageHeader* header)
{
    if (size < 26)
        return corrupt("a truncated BMP");
    uint32_t infoSize = le32(d + 14);
    size_t dataOffset = le32(d + 10);
    long long w, h;
    uint32_t bits, compression = 0;
    if (infoSize == 12) {
        w = le16(d + 18);
        h = le16(d + 20);
        bits = le16(d + 24);
    } else if (infoSize >= 40 && infoSize <= 124 && size >= 54) {
        w = int32_t(le32(d + 18));
        h = int32_t(le32(d + 22));
        bits = le16(d + 28);
        compression = le32(d + 30);
    } else {
        return corrupt("a broken BMP header");
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return corrupt("a BMP of an impossible depth");
    if (compression > 3 && compression != 6)
        return refuse(TextureProblem::Unsupported, "a BMP holding another format");
    if (dataOffset >= size)
        return corrupt("a truncated BMP");
    h = h < 0 ? -h : h;
    TextureVerdict verdict = accept(ImageFormat::Bmp, w, h, header);
    if (!verdict.ok())
        return verdict;
    // An uncompressed image must hold all its rows, each padded to 4 bytes.
    size_t rowBytes = (size_t(w) * bits + 31) / 32 * 4;
    if ((compression == 0 || compression == 3 || compression == 6) && rowBytes * size_t(h) > size - dataOffset)
        return corrupt("a truncated BMP");
    return kOk;
}

// ---- TGA -------------------------------------------------------------------------------
// TGA has no signature: only a header of a kind the decoder reads passes.
TextureVerdict checkTga(const uint8_t* d, size_t size, ImageHeader* header)
{
    if (size < 18)
        return refuse(TextureProblem::Unsupported, "not an image file of a known kind");
    uint8_t colorMapType = d[1], imageType = d[2], mapDepth = d[7], depth = d[16];
    uint8_t kind = imageType & 7;
    bool mapped = kind == 1;
    bool typeOk = (imageType == 1 || imageType == 2 || imageType == 3 || imageType == 9 || imageType == 10 ||
                   imageType == 11) && colorMapType <= 1 && (colorMapType == 1) == mapped;
    bool depthOk = kind == 2 ? depth == 15 || depth == 16 || depth == 24 || depth == 32 : depth == 8;
    bool mapOk = !mapped || mapDepth == 15 || mapDepth == 16 || mapDepth == 24 || mapDepth == 32;
    if (!typeOk || !depthOk || !mapOk || (d[17] & 0xC0) != 0)
        return refuse(TextureProblem::Unsupported, "not an image file of a known kind");
    size_t mapBytes = colorMapType ? size_t(le16(d + 5)) * ((size_t(mapDepth) + 7) / 8) : 0;
    size_t dataOffset = 18 + size_t(d[0]) + mapBytes;
    TextureVerdict verdict = accept(ImageFormat::Tga, le16(d + 12), le16(d + 14), header);
    if (!verdict.ok())
        return verdict;
    size_t pixelBytes = size_t(header->width) * size_t(header->height) * ((size_t(depth) + 7) / 8);
    bool compressed = imageType >= 9;
    if (dataOffset > size || (compressed ? dataOffset == size : pixelBytes > size - dataOffset))
        return corrupt("a truncated TGA");
    return kOk;
}

// ---- PNM -------------------------------------------------------------------------------
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
    while (*pos < size && d[*pos] >= '0' && d[*pos] <= '9' && value <= 1000000)
        value = value * 10 + (d[(*pos)++] - '0');
    *out = value;
    return *pos > start && *pos < size;
}

TextureVerdict checkPnm(const uint8_t* d, size_t size, ImageHeader* header)
{
    char kind = char(d[1]);
    size_t pos = 2;
    long long w = 0, h = 0, maxValue = 1;
    if (!readNumber(d, size, &pos, &w) || !readNumber(d, size, &pos, &h))
        return corrupt("a broken PNM header");
    if (kind != '1' && kind != '4' && (!readNumber(d, size, &pos, &maxValue) || maxValue < 1 || maxValue > 65535))
        return corrupt("a broken PNM header");
    TextureVerdict verdict = accept(ImageFormat::Pnm, w, h, header);
    if (!verdict.ok())
        return verdict;
    // Binary rasters follow one whitespace byte and must be whole.
    size_t samples = kind == '6' ? 3 : 1;
    size_t rowBytes = kind == '4' ? (size_t(w) + 7) / 8 : size_t(w) * samples * (maxValue > 255 ? 2 : 1);
    if (kind >= '4' && rowBytes * size_t(h) > size - pos - 1)
        return corrupt("a truncated PNM");
    return kOk;
}

// ---- Formats D3DX reads that no decoder here does ----------------------------------------
const char* unsupportedFormat(const uint8_t* d, size_t size)
{
    // SDL_image's GIF decoder frees a wild pointer on some broken files, and
    // D3DX reads no GIF either.
    if (memcmp(d, "GIF8", 4) == 0)
        return "a GIF file";
    if (memcmp(d, "DDS ", 4) == 0)
        return "a DDS file";
    if (size >= 10 && (memcmp(d, "#?RADIANCE", 10) == 0 || memcmp(d, "#?RGBE", 6) == 0))
        return "an HDR file";
    if (d[0] == 'P' && (d[1] == 'F' || d[1] == 'f'))
        return "a PFM file";
    if (size >= 12 && memcmp(d, "RIFF", 4) == 0 && memcmp(d + 8, "WEBP", 4) == 0)
        return "a WebP file";
    if (memcmp(d, "II*", 4) == 0 || memcmp(d, "MM\0*", 4) == 0)
        return "a TIFF file";
    return nullptr;
}

} // namespace

const char* describe(TextureProblem problem)
{
    switch (problem) {
    case TextureProblem::None: return "loaded";
    case TextureProblem::NotFound: return "not found";
    case TextureProblem::NotRegularFile: return "not a regular file";
    case TextureProblem::Unreadable: return "cannot be read";
    case TextureProblem::FileTooLarge: return "too large";
    case TextureProblem::ImageTooLarge: return "too large";
    case TextureProblem::Corrupt: return "corrupt";
    case TextureProblem::Unsupported: return "not a format this loader reads";
    case TextureProblem::OutOfMemory: return "out of memory";
    }
    return "unknown";
}

TextureVerdict checkImageFile(const uint8_t* d, size_t size, ImageHeader* header)
{
    if (!d || !header || size == 0)
        return corrupt("an empty file");
    if (size > kMaxImageFileBytes)
        return refuse(TextureProblem::FileTooLarge, "over 64 MiB");
    if (size < 4)
        return corrupt("a file too short to be an image");
    if (d[0] == 0xFF && d[1] == 0xD8)
        return checkJpeg(d, size, header);
    if (memcmp(d, "\x89PNG", 4) == 0)
        return checkPng(d, size, header);
    if (d[0] == 'B' && d[1] == 'M')
        return checkBmp(d, size, header);
    if (const char* other = unsupportedFormat(d, size))
        return refuse(TextureProblem::Unsupported, other);
    if (d[0] == 'P' && d[1] >= '1' && d[1] <= '6')
        return checkPnm(d, size, header);
    return checkTga(d, size, header);
}
