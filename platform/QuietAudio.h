// OpenAL Soft and the ALSA library it may try report every device they cannot open on standard
// error: on a machine without sound hardware that is nine lines on every start. The game says once,
// in its own log, that it runs silent, so their reports stay off the terminal.
#pragma once

// Call before the first OpenAL call. OpenAL Soft's own log stays on when ALSOFT_LOGLEVEL is set.
void keepAudioReportsOffTheTerminal();
