#pragma once
// The other end of the program's serial line in a test: a pseudo-terminal on POSIX systems,
// a second COM port joined to the program's on Windows.
#ifdef _WIN32
#include "windows/com_pair.h"
using LinePair = ComPair;
#else
#include "transfer/pty_pair.h"
using LinePair = PtyPair;
#endif
