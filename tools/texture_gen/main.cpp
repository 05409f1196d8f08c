// main.cpp: writes crate.jpg, ground.jpg and brick.jpg into a folder (default "textures").
#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <string>

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

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2) {
        std::fprintf(stderr, "usage: %s [output-folder]\n", argv[0]);
        return 2;
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
