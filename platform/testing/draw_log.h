// draw_log.h: the draw log behind testctl::drawLog(), inside the testing
// library.
#pragma once

namespace testctl {

// Has the headless renderer hand its clears, draws and presents to the log.
void recordHeadlessDraws();
// An empty log that records (between tests).
void resetDrawLog();

} // namespace testctl
