// program.cpp: building the fixed-function program and feeding
// it a batch's state.
#include "d3d9/gl/program.h"

#include <cstdio>

#include "d3d9/gl/shaders.h"

namespace {

constexpr GLsizei kLogSize = 2048;

GLuint compile(GLenum type, const char* source)
{
    GLuint shader = glCreateShader(type);
    const char* parts[] = {kGlShaderVersion, glShaderDeclarations(), source};
    glShaderSource(shader, GLsizei(sizeof parts / sizeof parts[0]), parts, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == GL_TRUE)
        return shader;
    char log[kLogSize] = {};
    glGetShaderInfoLog(shader, kLogSize, nullptr, log);
    fprintf(stderr, "OpenGL shader does not compile:\n%s\n", log);
    glDeleteShader(shader);
    return 0;
}

bool link(GLuint program)
{
    glLinkProgram(program);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok == GL_TRUE)
        return true;
    char log[kLogSize] = {};
    glGetProgramInfoLog(program, kLogSize, nullptr, log);
    fprintf(stderr, "OpenGL program does not link:\n%s\n", log);
    return false;
}

void findUniforms(GlProgram& p)
{
    GLuint id = p.program;
    p.worldView = glGetUniformLocation(id, "uWorldView");
    p.projection = glGetUniformLocation(id, "uProjection");
    p.normalMatrix = glGetUniformLocation(id, "uNormalMatrix");
    p.pixelOffset = glGetUniformLocation(id, "uPixelOffset");
    p.lighting = glGetUniformLocation(id, "uLighting");
    p.normalize = glGetUniformLocation(id, "uNormalize");
    p.localViewer = glGetUniformLocation(id, "uLocalViewer");
    p.specular = glGetUniformLocation(id, "uSpecular");
    p.globalAmbient = glGetUniformLocation(id, "uGlobalAmbient");
    p.lightCount = glGetUniformLocation(id, "uLightCount");
    p.lightPosition = glGetUniformLocation(id, "uLightPosition");
    p.lightDirection = glGetUniformLocation(id, "uLightDirection");
    p.lightDiffuse = glGetUniformLocation(id, "uLightDiffuse");
    p.lightSpecular = glGetUniformLocation(id, "uLightSpecular");
    p.lightAmbient = glGetUniformLocation(id, "uLightAmbient");
    p.lightAttenuation = glGetUniformLocation(id, "uLightAttenuation");
    p.lightSpot = glGetUniformLocation(id, "uLightSpot");
    p.texture = glGetUniformLocation(id, "uTexture");
    p.hasTexture = glGetUniformLocation(id, "uHasTexture");
}

} // namespace

bool glProgramCreate(GlProgram& p)
{
    GLuint vertex = compile(GL_VERTEX_SHADER, kGlVertexShader);
    GLuint fragment = compile(GL_FRAGMENT_SHADER, kGlFragmentShader);
    if (!vertex || !fragment) {
        glDeleteShader(vertex);
        glDeleteShader(fragment);
        return false;
    }
    p.program = glCreateProgram();
    glAttachShader(p.program, vertex);
    glAttachShader(p.program, fragment);
    glBindShaderAttributes(p.program);
    bool linked = link(p.program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    if (!linked) {
        glProgramDestroy(p);
        return false;
    }
    GLuint block = glGetUniformBlockIndex(p.program, "Materials");
    if (block == GL_INVALID_INDEX) {
        glProgramDestroy(p);
        return false;
    }
    glUniformBlockBinding(p.program, block, kGlMaterialBinding);
    findUniforms(p);
    glUseProgram(p.program);
    glUniform1i(p.texture, GLint(kGlTextureUnit));
    return true;
}

void glProgramDestroy(GlProgram& p)
{
    glDeleteProgram(p.program);
    p = GlProgram();
}

void glProgramSetUniforms(const GlProgram& p, const GlBatchState& s, const float pixelOffset[3], bool hasTexture)
{
    glUniformMatrix4fv(p.worldView, 1, GL_FALSE, s.worldView);
    glUniformMatrix4fv(p.projection, 1, GL_FALSE, s.projection);
    glUniformMatrix3fv(p.normalMatrix, 1, GL_FALSE, s.normalMatrix);
    glUniform3fv(p.pixelOffset, 1, pixelOffset);
    glUniform1i(p.lighting, s.lighting);
    glUniform1i(p.normalize, s.normalizeNormals);
    glUniform1i(p.localViewer, s.localViewer);
    glUniform1i(p.specular, s.specular);
    glUniform3fv(p.globalAmbient, 1, s.globalAmbient);
    glUniform1i(p.lightCount, s.lightCount);
    if (s.lightCount > 0) {
        glUniform4fv(p.lightPosition, s.lightCount, &s.lightPosition[0][0]);
        glUniform4fv(p.lightDirection, s.lightCount, &s.lightDirection[0][0]);
        glUniform4fv(p.lightDiffuse, s.lightCount, &s.lightDiffuse[0][0]);
        glUniform4fv(p.lightSpecular, s.lightCount, &s.lightSpecular[0][0]);
        glUniform4fv(p.lightAmbient, s.lightCount, &s.lightAmbient[0][0]);
        glUniform4fv(p.lightAttenuation, s.lightCount, &s.lightAttenuation[0][0]);
        glUniform4fv(p.lightSpot, s.lightCount, &s.lightSpot[0][0]);
    }
    glUniform1i(p.hasTexture, hasTexture);
}

void glApplyPipelineState(const GlBatchState& s, GLuint sampler)
{
    if (s.cull) {
        glEnable(GL_CULL_FACE);
        glCullFace(s.cullFace);
    } else {
        glDisable(GL_CULL_FACE);
    }
    glPolygonMode(GL_FRONT_AND_BACK, s.polygonMode);
    if (s.depthTest) {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(s.depthFunc);
        glDepthMask(s.depthWrite ? GL_TRUE : GL_FALSE);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, s.minFilter);
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, s.magFilter);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, s.wrapS);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, s.wrapT);
    glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, s.borderColor);
}
