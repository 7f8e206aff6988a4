// The shared record's life: creation at start, re-creation on a model change, release at the end.
#include "app/app.h"
#include "connection/connection.h"
#include "printers/printers.h"

HANDLE mappingHandle;
BYTE* sharedView;
BYTE* privateCopy;
const WCHAR* blockFailedCall;

LONG BlockLong(const BYTE* block, DWORD offset) {
  LONG value;
  CopyMemory(&value, block + offset, sizeof value);
  return value;
}

void SetBlockLong(BYTE* block, DWORD offset, LONG value) {
  CopyMemory(block + offset, &value, sizeof value);
}

void InitBlockValues(BYTE* copy) {
  CopyMemory(copy + CB_AUX_NUMBER_TEXT, CB_INITIAL_AUX_NUMBER_TEXT, sizeof CB_INITIAL_AUX_NUMBER_TEXT);
  SetBlockLong(copy, CB_DISPLAY_MODE, CB_INITIAL_DISPLAY_MODE);
  SetBlockLong(copy, CB_AUX_FLAG, CB_INITIAL_AUX_FLAG);
  SetBlockLong(copy, CB_WINDOW_LEFT, CB_INITIAL_WINDOW_POS);
  SetBlockLong(copy, CB_WINDOW_TOP, CB_INITIAL_WINDOW_POS);
}

static HANDLE CreateMapping(BlockSecurity* security) {
  return CreateFileMappingW(INVALID_HANDLE_VALUE, &security->attributes, PAGE_READWRITE, 0, CB_SIZE, mappingName);
}

// The view and the private copy of a new mapping; on failure neither is kept
// and blockFailedCall names the call that failed.
static BOOL OpenBlock(HANDLE mapping, BYTE** view, BYTE** copy) {
  DWORD error;
  *copy = (BYTE*)AllocZeroed(CB_SIZE, &error);
  if (!*copy) {
    blockFailedCall = L"GlobalAlloc";
    return FALSE;
  }
  *view = (BYTE*)MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
  if (!*view) {
    blockFailedCall = L"MapViewOfFile";
    FreeAllocated(*copy);
    *copy = NULL;
    return FALSE;
  }
  InitBlockValues(*copy);
  return TRUE;
}

int CreateConnectionBlock(void) {
  BlockSecurity security;
  int prepared = BuildBlockSecurity(&security);
  if (prepared == SECURITY_FAILED) return BLOCK_SECURITY_FAILED;
  int result = BLOCK_UNAVAILABLE;
  blockFailedCall = L"CreateFileMapping";
  if (prepared == SECURITY_READY) mappingHandle = CreateMapping(&security);
  if (mappingHandle && OpenBlock(mappingHandle, &sharedView, &privateCopy)) {
    // Every start resets the shared record, whatever the other side left in it.
    CopyBlockWait(sharedView, privateCopy, CB_SIZE, mappingMutexName);
    result = BLOCK_CREATED;
  } else {
    CloseConnectionBlock();  // a mapping without view or copy is of no use
  }
  FreeBlockSecurity(&security);
  return result;
}

void RecreateConnectionBlock(int newSlot) {
  InstanceMutexName unused;
  SelectNameSet(newSlot, &unused);
  BlockSecurity security;
  int prepared = BuildBlockSecurity(&security);
  if (prepared == SECURITY_FAILED) {
    ReleaseInstanceMutex();
    EndProcess(EXIT_QUIET);
  }
  HANDLE mapping = prepared == SECURITY_READY ? CreateMapping(&security) : NULL;
  BYTE* view;
  BYTE* copy;
  // The old record stays in use until the new one is complete.
  if (mapping && OpenBlock(mapping, &view, &copy)) {
    CloseConnectionBlock();
    mappingHandle = mapping;
    sharedView = view;
    privateCopy = copy;
    CopyBlockOnce(sharedView, privateCopy, CB_SIZE, mappingMutexName);
  } else if (mapping) {
    CloseHandle(mapping);
  }
  FreeBlockSecurity(&security);
}

void CloseConnectionBlock(void) {
  if (sharedView) UnmapViewOfFile(sharedView);
  FreeAllocated(privateCopy);
  if (mappingHandle) CloseHandle(mappingHandle);
  sharedView = NULL;
  privateCopy = NULL;
  mappingHandle = NULL;
}
