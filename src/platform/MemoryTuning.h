#pragma once
// How the C library's allocator serves the driver while it compiles large models.

namespace orx {

// Keeps freed memory in the process for reuse; call first thing in main.
void KeepFreedMemoryForReuse();

}  // namespace orx
