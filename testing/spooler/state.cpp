// Where the scripted spooler keeps its state: in this process, or (DLL and
// tool builds) in a named mapping that every process of the test shares.
#include "spooler/scripted_spooler.h"

static void ClearState(SpoolerState* state) {
  ZeroMemory(state, sizeof *state);
  state->magic = SPOOLER_STATE_MAGIC;
  state->nextJobId = 1;
}

#ifdef SPOOLER_SHARED_STATE

static HANDLE stateMutex;
static HANDLE stateMapping;
static SpoolerState* sharedState;
static INIT_ONCE stateOpened = INIT_ONCE_STATIC_INIT;

// Both objects stay open for the life of the process: closing the last handle
// would discard the state while another process may be about to look at it.
static BOOL CALLBACK OpenSharedState(PINIT_ONCE once, void* parameter, void** context) {
  stateMutex = CreateMutexW(NULL, FALSE, SPOOLER_STATE_MUTEX);
  stateMapping = CreateFileMappingW(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0,
                                    sizeof(SpoolerState), SPOOLER_STATE_MAPPING);
  if (stateMapping)
    sharedState = (SpoolerState*)MapViewOfFile(stateMapping, FILE_MAP_ALL_ACCESS, 0, 0,
                                               sizeof(SpoolerState));
  return TRUE;
}

SpoolerState* SpoolerLock(void) {
  InitOnceExecuteOnce(&stateOpened, OpenSharedState, NULL, NULL);
  if (!stateMutex || !sharedState) return NULL;
  DWORD wait = WaitForSingleObject(stateMutex, INFINITE);
  if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return NULL;
  // A fresh mapping is all zeros; the first process to lock it sets it up.
  if (sharedState->magic != SPOOLER_STATE_MAGIC) ClearState(sharedState);
  return sharedState;
}

void SpoolerUnlock(void) {
  ReleaseMutex(stateMutex);
}

#else

static SpoolerState localState;
static CRITICAL_SECTION localLock;
static INIT_ONCE localLockReady = INIT_ONCE_STATIC_INIT;

static BOOL CALLBACK InitLocalLock(PINIT_ONCE once, void* parameter, void** context) {
  InitializeCriticalSection(&localLock);
  return TRUE;
}

SpoolerState* SpoolerLock(void) {
  InitOnceExecuteOnce(&localLockReady, InitLocalLock, NULL, NULL);
  EnterCriticalSection(&localLock);
  if (localState.magic != SPOOLER_STATE_MAGIC) ClearState(&localState);
  return &localState;
}

void SpoolerUnlock(void) {
  LeaveCriticalSection(&localLock);
}

#endif

void SpoolerReset(void) {
  SpoolerState* state = SpoolerLock();
  if (!state) return;
  ClearState(state);
  SpoolerUnlock();
  SpoolerForgetHandles();
}
