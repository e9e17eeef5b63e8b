// When each frame was drawn and shown and when its poll first saw each change of the input, for the
// latency benchmark. Written only when BARRELS_FRAME_TRACE names a file; otherwise every call returns
// at once. Times are the steady clock's nanoseconds (CLOCK_MONOTONIC), as another process reads them.
//   input <ns> key <OIS key code> down|up
//   input <ns> button <OIS button id> down|up
//   input <ns> motion <dx> <dy>
//   frame <drawing started ns> <shown ns>
#pragma once

namespace FrameTrace {

bool enabled();
long long now();
void key(int code, bool down);
void button(int id, bool down);
void motion(int dx, int dy);
void frame(long long drawn, long long shown);

} // namespace FrameTrace
