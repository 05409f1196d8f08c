// version_report.h: no OpenGL 3.3 core context; says why on standard error,
// with the version the driver offers when it offers any.
#pragma once

struct SDL_Window;

void glReportTooOld();
void glReportNoContext(SDL_Window* window, const char* error);
