// main.cpp: writes crate.jpg, ground.jpg and brick.jpg into a folder (default
// "textures"), or with --icons the game's icons (default "packaging/icons").
#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <string>

#include "crate_icon.h"
#include "painters.h"

namespace {

struct Texture {
    const char* file;
    void (*paint)(TextureImage&);
};

const Texture kTextures[] = {
    {"crate.jpg", paintCrate},
    {"ground.jpg", paintGround},
    {"brick.jpg", paintBrick},
};

// The sizes of the desktop's icon themes, and those Windows shows an exe at.
const int kThemeSides[] = {48, 256};
const int kWindowsSides[] = {16, 32, 48, 256};

bool writeIcons(const std::string& folder)
{
    TextureImage crate;
    paintCrate(crate);
    bool ok = true;
    for (int side : kThemeSides) {
        const std::string path = folder + "/quadrill-" + std::to_string(side) + ".png";
        if (saveIconPng(paintCrateIcon(crate, side), path.c_str()))
            std::printf("%s\n", path.c_str());
        else
            ok = false;
    }
    std::vector<IconImage> images;
    for (int side : kWindowsSides)
        images.push_back(paintCrateIcon(crate, side));
    const std::string ico = folder + "/quadrill.ico";
    if (saveIco(images, ico.c_str()))
        std::printf("%s\n", ico.c_str());
    else
        ok = false;
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    const bool icons = argc > 1 && std::string(argv[1]) == "--icons";
    const int folderArg = icons ? 2 : 1;
    if (argc > folderArg + 1) {
        std::fprintf(stderr, "usage: %s [output-folder]\n       %s --icons [output-folder]\n", argv[0], argv[0]);
        return 2;
    }
    if (icons) {
        const bool ok = writeIcons(argc > folderArg ? argv[folderArg] : "packaging/icons");
        return ok ? 0 : 1;
    }
    const std::string folder = argc == 2 ? argv[1] : "textures";
    if (IMG_Init(IMG_INIT_JPG) == 0) {
        std::fprintf(stderr, "texture_gen: JPEG support is missing: %s\n", IMG_GetError());
        return 1;
    }
    bool ok = true;
    for (const Texture& t : kTextures) {
        TextureImage image;
        t.paint(image);
        const std::string path = folder + "/" + t.file;
        if (saveJpeg(image, path.c_str()))
            std::printf("%s\n", path.c_str());
        else
            ok = false;
    }
    IMG_Quit();
    return ok ? 0 : 1;
}
