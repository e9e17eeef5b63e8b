// The signals that ask a desktop program to end (logout, kill, Ctrl+C, a closed terminal).
#pragma once

// From here on SIGTERM, SIGINT and SIGHUP only raise a flag, which the frame loop reads.
void catchQuitSignals();

// Whether one of those signals has come since catchQuitSignals.
bool quitSignalled();
