// Helpers of the connection tests: the other side's thread and second handle.
#include "connection_helpers.h"
#include "connection/connection.h"
#include "printers/printers.h"
#include "support.h"

enum { HELPER_TIMEOUT_MILLISECONDS = 10000 };

static DWORD WINAPI OtherSideThread(void* argument) {
  OtherSide* side = (OtherSide*)argument;
  side->mutex = CreateMutexW(NULL, FALSE, side->mutexName);
  if (!side->mutex || WaitForSingleObject(side->mutex, HELPER_TIMEOUT_MILLISECONDS) != WAIT_OBJECT_0) return 1;
  SetEvent(side->held);
  if (side->abandon) return 0;  // the handle stays open so the mutex lives on, abandoned
  if (side->releaseAfterPauses) {
    DWORD start = GetTickCount();
    while (*(volatile unsigned*)&pauseCount < side->releaseAfterPauses &&
           GetTickCount() - start < HELPER_TIMEOUT_MILLISECONDS)
      Sleep(1);
  } else {
    WaitForSingleObject(side->release, HELPER_TIMEOUT_MILLISECONDS);
  }
  if (side->beforeRelease) side->beforeRelease(side->context);
  ReleaseMutex(side->mutex);
  CloseHandle(side->mutex);
  side->mutex = NULL;
  return 0;
}

BOOL StartOtherSide(OtherSide* side) {
  side->mutex = NULL;
  side->held = CreateEventW(NULL, TRUE, FALSE, NULL);
  side->release = CreateEventW(NULL, TRUE, FALSE, NULL);
  side->thread = CreateThread(NULL, 0, OtherSideThread, side, 0, NULL);
  if (!side->thread) return FALSE;
  HANDLE either[2] = {side->held, side->thread};
  DWORD which = WaitForMultipleObjects(2, either, FALSE, HELPER_TIMEOUT_MILLISECONDS);
  if (which != WAIT_OBJECT_0) return FALSE;
  if (side->abandon) return WaitForSingleObject(side->thread, HELPER_TIMEOUT_MILLISECONDS) == WAIT_OBJECT_0;
  return TRUE;
}

BOOL FinishOtherSide(OtherSide* side) {
  SetEvent(side->release);
  BOOL ended = WaitForSingleObject(side->thread, HELPER_TIMEOUT_MILLISECONDS) == WAIT_OBJECT_0;
  CloseHandle(side->thread);
  CloseHandle(side->held);
  CloseHandle(side->release);
  if (side->mutex) CloseHandle(side->mutex);  // an abandoned one
  side->mutex = NULL;
  return ended;
}

BOOL OpenSharedRecord(const WCHAR* name, SecondHandle* second) {
  second->view = NULL;
  second->mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, name);
  if (!second->mapping) return FALSE;
  second->view = (BYTE*)MapViewOfFile(second->mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
  if (second->view) return TRUE;
  CloseHandle(second->mapping);
  second->mapping = NULL;
  return FALSE;
}

void CloseSharedRecord(SecondHandle* second) {
  if (second->view) UnmapViewOfFile(second->view);
  if (second->mapping) CloseHandle(second->mapping);
  second->view = NULL;
  second->mapping = NULL;
}

BOOL MappingExists(const WCHAR* name) {
  HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, name);
  if (!mapping) return FALSE;
  CloseHandle(mapping);
  return TRUE;
}

static void PutLong(BYTE* image, int offset, LONG value) {
  for (int i = 0; i < 4; i++) image[offset + i] = (BYTE)((DWORD)value >> (8 * i));
}

void ExpectedInitialImage(BYTE image[RECORD_BYTES]) {
  ZeroMemory(image, RECORD_BYTES);
  image[1800] = '5';        // auxNumberText
  PutLong(image, 2056, 2);  // displayMode
  PutLong(image, 2384, 1);  // auxFlag
  PutLong(image, 2388, -900);  // windowLeft
  PutLong(image, 2392, -900);  // windowTop
}

int FirstDifference(const BYTE* a, const BYTE* b, int length) {
  for (int i = 0; i < length; i++)
    if (a[i] != b[i]) return i;
  return -1;
}

void ResetConnection(void) {
  CloseConnectionBlock();
  mappingName = NULL;
  mappingMutexName = NULL;
  dummyDocumentName = NULL;
  ModelSlot = 0;
}
