#include "QuietAudio.h"

#include <alsa/asoundlib.h>

#include <cstdlib>

namespace {
void ignoreAlsaReport(const char*, int, const char*, int, const char*, ...)
{
}
}

void keepAudioReportsOffTheTerminal()
{
    setenv("ALSOFT_LOGLEVEL", "0", 0);
    snd_lib_error_set_handler(ignoreAlsaReport);
}
