// Zero-filled blocks from the global heap for spooler lists and the record copy.
#include "printers/printers.h"

void* AllocZeroed(SIZE_T size, DWORD* error) {
  if (size == 0) {
    *error = (DWORD)-1;
    return NULL;
  }
  void* block = GlobalAlloc(GMEM_FIXED, size);
  if (!block) {
    *error = GetLastError();
    return NULL;
  }
  ZeroMemory(block, size);
  *error = 0;
  return block;
}

DWORD FreeAllocated(void* block) {
  if (!block) return (DWORD)-1;
  if (GlobalFree(block) != NULL) return GetLastError();
  return 0;
}
