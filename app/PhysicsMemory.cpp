#include "PhysicsMemory.h"

#include "LargeBlocks.h"

#include <LinearMath/btAlignedAllocator.h>

void usePhysicsMemoryInHugePages()
{
    btAlignedAllocSetCustom(LargeBlocks::allocate, LargeBlocks::release);
}
