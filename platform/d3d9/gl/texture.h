// texture.h: Direct3D textures as OpenGL textures. The renderer draws what
// it has recorded with a texture before it changes or deletes one.
#pragma once

#include <epoxy/gl.h>

#include "d3d9/resources.h"

// Storage for every level, holding the texture's bytes. False when OpenGL
// cannot hold it.
bool glCreateTexture(Texture& texture);
// Uploads a level the program has written.
void glUpdateTexture(const Texture& texture, UINT level);
void glDestroyTexture(Texture& texture);
GLuint glTextureName(const Texture& texture);
