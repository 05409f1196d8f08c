// renderer_gl_texture.cpp: textures as OpenGL textures with a full mip chain.
#include "d3d9/renderer_gl.h"

bool glCreateTexture(GlRenderer&, Texture& texture, const uint8_t* rgba)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, GLsizei(texture.width), GLsizei(texture.height), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, rgba);
    glGenerateMipmap(GL_TEXTURE_2D);
    texture.rendererData = reinterpret_cast<void*>(uintptr_t(name));
    return glGetError() == GL_NO_ERROR;
}

void glDestroyTexture(GlRenderer&, Texture& texture)
{
    GLuint name = GLuint(reinterpret_cast<uintptr_t>(texture.rendererData));
    glDeleteTextures(1, &name);
    texture.rendererData = nullptr;
}
