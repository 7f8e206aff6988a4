// The copy protocol: every move of the record between view and private copy holds the mapping mutex.
#include "app/app.h"
#include "connection/connection.h"
#include "printers/printers.h"

enum {
  COPY_RETRY_MILLISECONDS = 50,
  // Without any handle to the mutex there is nothing to wait for; a handle
  // that cannot be had in about two seconds will not come.
  MUTEX_HANDLE_ATTEMPTS = 40,
};

static BOOL Acquired(DWORD wait) {
  // A language monitor that died holding the mutex leaves it abandoned: ours now.
  return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

// Creates or opens the mutex; when a mutex of that name denies full access,
// opening it with just the rights a copy needs may still work.
static HANDLE OpenCopyMutex(const WCHAR* mutexName) {
  HANDLE mutex = CreateMutexW(NULL, FALSE, mutexName);
  if (!mutex && mutexName) mutex = OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, mutexName);
  return mutex;
}

static HANDLE OpenCopyMutexBounded(const WCHAR* mutexName) {
  for (int attempt = 0;; attempt++) {
    HANDLE mutex = OpenCopyMutex(mutexName);
    if (mutex || attempt + 1 >= MUTEX_HANDLE_ATTEMPTS) return mutex;
    PauseMilliseconds(COPY_RETRY_MILLISECONDS);
  }
}

// Holds the mutex once it is free; polls without blocking in the kernel.
static HANDLE HoldMutex(const WCHAR* mutexName) {
  HANDLE mutex = OpenCopyMutexBounded(mutexName);
  if (!mutex) return NULL;
  while (!Acquired(WaitForSingleObject(mutex, 0))) PauseMilliseconds(COPY_RETRY_MILLISECONDS);
  return mutex;
}

static void DropMutex(HANDLE mutex) {
  ReleaseMutex(mutex);
  CloseHandle(mutex);
}

void CopyBlockWait(void* destination, const void* source, SIZE_T length, const WCHAR* mutexName) {
  if (!destination || !source) return;
  HANDLE mutex = HoldMutex(mutexName);
  if (!mutex) return;
  CopyMemory(destination, source, length);
  DropMutex(mutex);
}

void CopyBlockOnce(void* destination, const void* source, SIZE_T length, const WCHAR* mutexName) {
  if (!destination || !source) return;
  HANDLE mutex = OpenCopyMutex(mutexName);
  if (!mutex) return;
  if (Acquired(WaitForSingleObject(mutex, 0))) CopyMemory(destination, source, length);
  DropMutex(mutex);
}

void ChangeBlockField(DWORD offset, LONG value) {
  if (!sharedView || !privateCopy) return;
  HANDLE mutex = HoldMutex(mappingMutexName);
  if (!mutex) return;
  CopyMemory(privateCopy, sharedView, CB_SIZE);
  SetBlockLong(privateCopy, offset, value);
  CopyMemory(sharedView, privateCopy, CB_SIZE);
  DropMutex(mutex);
}
