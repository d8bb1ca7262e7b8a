#include "MemoryTuning.h"

#include <malloc.h>

void MemoryTuning::keepFreedMemoryForReuse()
{
    // Blocks up to 4 MB (a decoded full-size cover) come from the heap rather than from a
    // fresh mapping each time, and up to 32 MB of free memory at a heap's top stays there.
    mallopt(M_MMAP_THRESHOLD, 4 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 32 * 1024 * 1024);
}

void MemoryTuning::releaseFreeMemory()
{
    malloc_trim(0);
}
