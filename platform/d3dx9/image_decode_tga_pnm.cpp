// image_decode_tga_pnm.cpp: TGA and PNM decoders. Their headers have passed
// checkImageFile; every read of pixel data is still bounded here.
#include "d3dx9/texture_file.h"

namespace {

TextureVerdict truncated(const char* detail) { return refuse(TextureProblem::Corrupt, detail); }

void startImage(const ImageHeader& header, DecodedImage& out)
{
    out.width = header.width;
    out.height = header.height;
    out.hasAlpha = false;
    out.rgba.assign(size_t(header.width) * size_t(header.height) * 4, 0);
}

// ---- TGA -------------------------------------------------------------------------------
struct TgaLayout {
    int pixelBytes = 0;
    int depth = 0;
    int alphaBits = 0;
    bool mapped = false;
};

// One stored value (a pixel, or a colour-map entry) to RGBA.
void tgaColour(const uint8_t* p, int depth, int alphaBits, uint8_t* rgba)
{
    if (depth == 8) {
        rgba[0] = rgba[1] = rgba[2] = p[0];
        rgba[3] = 255;
    } else if (depth == 15 || depth == 16) {
        unsigned v = unsigned(p[0]) | unsigned(p[1]) << 8;
        rgba[0] = uint8_t((v >> 10 & 31) * 255 / 31);
        rgba[1] = uint8_t((v >> 5 & 31) * 255 / 31);
        rgba[2] = uint8_t((v & 31) * 255 / 31);
        rgba[3] = depth == 16 && alphaBits > 0 && !(v & 0x8000) ? 0 : 255;
    } else {
        rgba[0] = p[2];
        rgba[1] = p[1];
        rgba[2] = p[0];
        rgba[3] = depth == 32 && alphaBits > 0 ? p[3] : 255;
    }
}

// ---- PNM -------------------------------------------------------------------------------
struct PnmReader {
    const uint8_t* d;
    size_t size;
    size_t pos;

    void skipSpaceAndComments()
    {
        while (pos < size) {
            if (d[pos] == '#') {
                while (pos < size && d[pos] != '\n')
                    ++pos;
            } else if (d[pos] == ' ' || d[pos] == '\t' || d[pos] == '\r' || d[pos] == '\n') {
                ++pos;
            } else {
                return;
            }
        }
    }
    bool number(unsigned long* out)
    {
        skipSpaceAndComments();
        unsigned long value = 0;
        size_t start = pos;
        while (pos < size && d[pos] >= '0' && d[pos] <= '9' && value < 1000000)
            value = value * 10 + unsigned(d[pos++] - '0');
        *out = value;
        return pos > start;
    }
    // A plain bitmap's pixels are single digits, spaces between them optional.
    bool bit(unsigned long* out)
    {
        skipSpaceAndComments();
        if (pos >= size || (d[pos] != '0' && d[pos] != '1'))
            return false;
        *out = d[pos++] == '1';
        return true;
    }
    // One binary sample of one or two bytes, most significant first.
    bool binary(bool wide, unsigned long* out)
    {
        if (pos + (wide ? 2 : 1) > size)
            return false;
        *out = wide ? unsigned(d[pos]) << 8 | d[pos + 1] : d[pos];
        pos += wide ? 2 : 1;
        return true;
    }
};

} // namespace

TextureVerdict decodePnm(const uint8_t* d, size_t size, const ImageHeader& header, DecodedImage& out)
{
    char kind = char(d[1]);
    PnmReader in = {d, size, 2};
    unsigned long ignored = 0, maxValue = 1;
    in.number(&ignored);
    in.number(&ignored);
    bool bitmap = kind == '1' || kind == '4';
    if (!bitmap)
        in.number(&maxValue);
    if (maxValue == 0 || maxValue > 65535)
        return truncated("a broken PNM header");
    bool ascii = kind <= '3';
    if (!ascii)
        ++in.pos; // the single whitespace byte before the raster
    int samples = kind == '3' || kind == '6' ? 3 : 1;
    bool wide = maxValue > 255;
    startImage(header, out);
    size_t width = size_t(header.width);
    for (size_t y = 0; y < size_t(header.height); ++y) {
        for (size_t x = 0; x < width; ++x) {
            uint8_t* target = out.rgba.data() + (y * width + x) * 4;
            target[3] = 255;
            if (kind == '4') {
                size_t at = in.pos + y * ((width + 7) / 8) + x / 8;
                if (at >= size)
                    return truncated("a truncated PNM");
                target[0] = target[1] = target[2] = (d[at] >> (7 - x % 8) & 1) ? 0 : 255;
                continue;
            }
            for (int c = 0; c < samples; ++c) {
                unsigned long v = 0;
                bool ok = kind == '1' ? in.bit(&v) : ascii ? in.number(&v) : in.binary(wide, &v);
                if (!ok)
                    return truncated("a truncated PNM");
                // Bitmaps store 1 for black; other kinds scale to 0..255.
                uint8_t level = bitmap ? uint8_t(v ? 0 : 255) : uint8_t((v > maxValue ? maxValue : v) * 255 / maxValue);
                if (samples == 1)
                    target[0] = target[1] = target[2] = level;
                else
                    target[c] = level;
            }
        }
    }
    return {};
}

TextureVerdict decodeTga(const uint8_t* d, size_t size, const ImageHeader& header, DecodedImage& out)
{
    TgaLayout layout;
    uint8_t imageType = d[2];
    layout.depth = d[16];
    layout.pixelBytes = (layout.depth + 7) / 8;
    layout.alphaBits = d[17] & 15;
    layout.mapped = (imageType & 7) == 1;
    size_t mapFirst = layout.mapped ? d[3] | size_t(d[4]) << 8 : 0;
    size_t mapLength = layout.mapped ? d[5] | size_t(d[6]) << 8 : 0;
    int mapDepth = d[7];
    size_t mapEntryBytes = size_t(mapDepth + 7) / 8;
    size_t pos = 18 + size_t(d[0]);
    const uint8_t* map = d + pos;
    pos += mapLength * mapEntryBytes;
    if (pos > size)
        return truncated("a truncated TGA");

    startImage(header, out);
    out.hasAlpha = layout.alphaBits > 0 && (layout.mapped ? mapDepth == 32 || mapDepth == 16 : layout.depth >= 16);
    size_t pixels = size_t(header.width) * size_t(header.height);
    bool compressed = imageType >= 9;
    uint8_t colour[4] = {0, 0, 0, 255};
    auto readPixel = [&]() {
        if (pos + size_t(layout.pixelBytes) > size)
            return false;
        if (layout.mapped) {
            // An index outside the map is black, as most decoders show it.
            size_t index = d[pos];
            colour[0] = colour[1] = colour[2] = 0;
            colour[3] = 255;
            if (index >= mapFirst && index - mapFirst < mapLength)
                tgaColour(map + (index - mapFirst) * mapEntryBytes, mapDepth, layout.alphaBits, colour);
        } else {
            tgaColour(d + pos, layout.depth, layout.alphaBits, colour);
        }
        pos += size_t(layout.pixelBytes);
        return true;
    };
    // Run-length packets: a run repeats one value, a literal packet holds
    // its values; either may cross the end of a row.
    size_t runLeft = 0, literalLeft = 0;
    for (size_t i = 0; i < pixels; ++i) {
        if (compressed && runLeft == 0 && literalLeft == 0) {
            if (pos >= size)
                return truncated("a truncated TGA");
            uint8_t packet = d[pos++];
            size_t count = size_t(packet & 0x7F) + 1;
            if (packet & 0x80) {
                if (!readPixel())
                    return truncated("a truncated TGA");
                runLeft = count;
            } else {
                literalLeft = count;
            }
        }
        if (runLeft > 0) {
            --runLeft;
        } else {
            if (!readPixel())
                return truncated("a truncated TGA");
            if (literalLeft > 0)
                --literalLeft;
        }
        // Rows are stored bottom-up unless the descriptor says top-down,
        // and right-to-left when it says so.
        size_t x = i % size_t(header.width), y = i / size_t(header.width);
        if (d[17] & 0x10)
            x = size_t(header.width) - 1 - x;
        if (!(d[17] & 0x20))
            y = size_t(header.height) - 1 - y;
        uint8_t* target = out.rgba.data() + (y * size_t(header.width) + x) * 4;
        for (int c = 0; c < 4; ++c)
            target[c] = colour[c];
    }
    return {};
}
