// shaders.h: the GLSL sources of the fixed-function program. Each is
// compiled as the version line, then glShaderDeclarations(), then itself.
#pragma once

extern const char* const kGlShaderVersion;
extern const char* const kGlVertexShader;
extern const char* const kGlFragmentShader;
