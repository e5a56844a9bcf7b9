#pragma once

// Gives the calling thread, and the threads it starts from now on, less of the processor than
// the window's thread when the two want it at once: work in the background must not slow what
// the user waits for. Qt's thread priorities leave ordinary threads as they are on Linux.
void lowerCurrentThreadPriority();
