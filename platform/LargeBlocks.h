// Memory for blocks of many megabytes in the kernel's huge pages where it allows them (Linux
// transparent huge pages in "madvise" mode): a block touched whole at once then costs one page
// fault per 2 MiB instead of one per 4 KiB. Smaller blocks come from malloc.
#pragma once

#include <cstddef>

namespace LargeBlocks {
// Blocks from here go back through release() only; both have malloc's and free's contracts.
void* allocate(std::size_t size);
void release(void* block);
}
