#pragma once

// Process-wide allocator settings, applied once at start.
class MemoryTuning
{
public:
    MemoryTuning() = delete;

    // Keeps freed memory for reuse instead of handing it back to the system at once.
    // Work that decodes one picture after another on a background thread (the folder
    // cache builder) otherwise has its heap trimmed and faulted back in for every song,
    // which costs more than the decoding itself.
    static void keepFreedMemoryForReuse();

    // Hands the free memory of every heap back to the system now. For the end of a burst
    // (many clients gone at once); cheap enough to call once a second, not per allocation.
    static void releaseFreeMemory();
};
