// texture_file.h: from a texture file to RGBA8 pixels, the part of the
// texture loader that the Linux and the Windows build share. Each system
// supplies how a file is opened and how JPEG, PNG and BMP are decoded;
// the checks, the TGA and PNM decoders and the report are common.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <memory>
#include <string>
#include <vector>

#include "image_checks.h"

struct DecodedImage {
    int width = 0;
    int height = 0;
    bool hasAlpha = false;        // the file's format carries alpha
    std::vector<uint8_t> rgba;    // width * height * 4 bytes, top row first
};

struct FileBytes {
    std::unique_ptr<uint8_t[]> data;
    size_t size = 0;
};

// "corrupt: a truncated PNG": what the loader says of a refusal.
std::string reasonFor(const TextureVerdict& verdict);

// Checks the bytes and decodes them.
TextureVerdict decodeImageFile(const uint8_t* data, size_t size, DecodedImage& out);
// Reads, checks and decodes a file. On failure writes one line to standard
// error with the path, the working directory and the reason.
TextureVerdict loadTextureImage(const char* path, DecodedImage& out);

// Shared decoders of the simple formats, which no system codec covers everywhere.
TextureVerdict decodeTga(const uint8_t* data, size_t size, const ImageHeader& header, DecodedImage& out);
TextureVerdict decodePnm(const uint8_t* data, size_t size, const ImageHeader& header, DecodedImage& out);

// ---- What each system supplies --------------------------------------------------------
// Reads a regular file of at most kMaxImageFileBytes, never blocking on a
// pipe or a device. `tried` is set to the path the refusal is about.
TextureVerdict readTextureFile(const char* path, FileBytes& out, std::string& tried);
// Decodes JPEG, PNG and BMP whose header passed the checks.
TextureVerdict decodeWithSystemCodec(const uint8_t* data, size_t size, const ImageHeader& header, DecodedImage& out);
std::string currentDirectory();
