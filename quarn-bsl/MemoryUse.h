#pragma once

// How the server keeps its memory near what it uses. It runs for hours while a long script's
// readings and answers come and go at every key, on several threads.

// Large blocks, such as a script's text and a reading's tables, go back to the system when freed.
// glibc would otherwise raise this bound after the first such block is freed and keep the later
// ones in its heaps, and a server reading a long script at every key would hold several times
// the memory it uses.
void returnLargeBlocksWhenFreed();

// Gives back what the heaps hold free, as after a burst of small blocks such as the JSON of a
// thousand diagnostics.
void returnFreeMemory();
