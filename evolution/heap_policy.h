// How the process keeps its heap. Mesa allocates and frees the same large buffers on every render;
// handed back to the kernel each time, they are faulted in again on the next render.
#pragma once

// Keeps freed heap memory in the process for reuse. Called once at start, before any render.
void KeepFreedHeapMemory();
