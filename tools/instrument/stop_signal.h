#pragma once
namespace fendal::instrument {

// SIGTERM and SIGINT, and the instrument's own "done", as a descriptor to wait on.
// Installs the handlers (without SA_RESTART, so blocking calls return with EINTR) and ignores
// SIGPIPE. Returns the descriptor that becomes readable on a stop.
int installStopSignals();
bool stopRequested();
// Ends the wait from inside the program (e.g. after one complete transfer).
void requestStop();
// Waits for a stop, or at most `timeoutMs` (negative: no limit); true when stopped.
bool waitForStop(int timeoutMs);

}  // namespace fendal::instrument
