// The physics world's broadphase is one block of about 200 MiB that its constructor fills in at
// once. In huge pages that costs a few hundred page faults instead of some fifty thousand, which on a
// virtual machine took half a second of the game's start-up.
#pragma once

// Sends the physics library's allocations through LargeBlocks. Call it first thing in main(), before
// the library allocates anything: its blocks must all come from one allocator.
void usePhysicsMemoryInHugePages();
