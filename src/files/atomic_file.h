// atomic_file.h: a file replaced whole, so that it is never seen half written.
#pragma once

#include <string>

// Writes `bytes` to a temporary file beside `path`, flushes it to the disk
// and only then renames it over `path`. Whenever the program or the machine
// stops, `path` holds either its old content or the new, never a mix. With
// `backup`, the old content (if any) is kept under that name. False with
// the reason when anything failed; `path` is then as it was, and the
// temporary file is gone.
bool replaceFileAtomically(const std::string& path, const std::string& bytes, const std::string* backup,
                           std::string& reason);
