// renderer_gl_version.cpp: why there is no OpenGL 3.3 core context, in
// one line on standard error, ahead of whatever the program then says.
#include "d3d9/renderer_gl.h"

#include <cstdio>
#include <string>

namespace {

std::string glText(GLenum name)
{
    const GLubyte* text = glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : "?";
}

void report(const std::string& reason)
{
    std::fprintf(stderr, "cannot use OpenGL: 3.3 core is needed, %s\n", reason.c_str());
    std::fflush(stderr);
}

} // namespace

void glReportTooOld()
{
    report("the driver offers " + glText(GL_VERSION) + " (" + glText(GL_RENDERER) + ")");
}

// A context of the driver's own choosing shows what it offers instead.
void glReportNoContext(SDL_Window* window, const char* error)
{
    const std::string why = error && *error ? error : "no reason given";
    SDL_GL_ResetAttributes();
    SDL_GLContext any = SDL_GL_CreateContext(window);
    if (!any) {
        report("and no OpenGL context could be made: " + why);
        return;
    }
    glReportTooOld();
    SDL_GL_MakeCurrent(window, nullptr);
    SDL_GL_DeleteContext(any);
}
