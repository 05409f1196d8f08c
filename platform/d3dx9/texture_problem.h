// texture_problem.h: why a texture file was refused, as the loader tells the
// player on standard error, and the error code D3DXCreateTextureFromFileA
// returns for it. Plain C++: the Linux and the Windows loader share it.
#pragma once

enum class TextureProblem {
    None,
    NotFound,
    NotRegularFile,
    Unreadable,
    FileTooLarge,
    ImageTooLarge,
    Corrupt,
    Unsupported,
    OutOfMemory,
};

// A problem and, where it helps, a short static note saying what exactly.
struct TextureVerdict {
    TextureProblem problem = TextureProblem::None;
    const char* detail = nullptr;

    bool ok() const { return problem == TextureProblem::None; }
};

inline TextureVerdict refuse(TextureProblem problem, const char* detail = nullptr) { return {problem, detail}; }

// "not found", "not a regular file", "too large", "corrupt", ...
const char* describe(TextureProblem problem);
