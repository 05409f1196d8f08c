// texture.cpp: textures as OpenGL textures, each level uploaded
// from the texture's bytes in system memory when the program writes it.
#include "d3d9/gl/texture.h"

namespace {

void bindForUpload(const Texture& texture)
{
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, glTextureName(texture));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
}

} // namespace

bool glCreateTexture(Texture& texture)
{
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (texture.width > UINT(maxSize) || texture.height > UINT(maxSize))
        return false;
    // Report only this texture's errors, not ones left by earlier calls.
    while (glGetError() != GL_NO_ERROR) {
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    texture.rendererData = reinterpret_cast<void*>(uintptr_t(name));
    bindForUpload(texture);
    // Texels are B, G, R, A bytes, as Direct3D's 32-bit formats lie in memory.
    for (UINT level = 0; level < texture.levels; ++level) {
        TextureLevel at = textureLevel(texture, level);
        glTexImage2D(GL_TEXTURE_2D, GLint(level), GL_RGBA8, GLsizei(at.width), GLsizei(at.height), 0, GL_BGRA,
                     GL_UNSIGNED_BYTE, texture.bytes.get() + at.offset);
    }
    // A shorter chain than down to 1x1 is complete only when OpenGL knows where it ends.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, GLint(texture.levels - 1));
    // X8R8G8B8 has no alpha: it samples as opaque, whatever the unused byte holds.
    if (texture.format == D3DFMT_X8R8G8B8)
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
    if (glGetError() == GL_NO_ERROR)
        return true;
    glDeleteTextures(1, &name);
    texture.rendererData = nullptr;
    return false;
}

void glUpdateTexture(const Texture& texture, UINT level)
{
    bindForUpload(texture);
    TextureLevel at = textureLevel(texture, level);
    glTexSubImage2D(GL_TEXTURE_2D, GLint(level), 0, 0, GLsizei(at.width), GLsizei(at.height), GL_BGRA,
                    GL_UNSIGNED_BYTE, texture.bytes.get() + at.offset);
}

void glDestroyTexture(Texture& texture)
{
    GLuint name = glTextureName(texture);
    glDeleteTextures(1, &name);
    texture.rendererData = nullptr;
}

GLuint glTextureName(const Texture& texture) { return GLuint(reinterpret_cast<uintptr_t>(texture.rendererData)); }
