// renderer_gl_texture.cpp: textures as OpenGL textures with a full mip chain.
#include "d3d9/renderer_gl.h"

bool glCreateTexture(GlRenderer&, Texture& texture, const uint8_t* rgba)
{
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (texture.width > UINT(maxSize) || texture.height > UINT(maxSize))
        return false;
    // Report only this upload's errors, not ones left by earlier calls.
    while (glGetError() != GL_NO_ERROR) {
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, GLsizei(texture.width), GLsizei(texture.height), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, rgba);
    glGenerateMipmap(GL_TEXTURE_2D);
    texture.rendererData = reinterpret_cast<void*>(uintptr_t(name));
    if (glGetError() == GL_NO_ERROR)
        return true;
    glDeleteTextures(1, &name);
    texture.rendererData = nullptr;
    return false;
}

void glDestroyTexture(GlRenderer& gl, Texture& texture)
{
    // Draws recorded with it must reach the back buffer while it still exists.
    glForgetTexture(gl, texture);
    GLuint name = glTextureName(texture);
    glDeleteTextures(1, &name);
    texture.rendererData = nullptr;
}

GLuint glTextureName(const Texture& texture) { return GLuint(reinterpret_cast<uintptr_t>(texture.rendererData)); }
