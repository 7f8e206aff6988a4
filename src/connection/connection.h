// Connection with the language monitor: the shared record, its security,
// its names and the copy protocol. The monitor reads only privateCopy.
#pragma once
#include <windows.h>
#include "connection/connection_block.h"

extern HANDLE mappingHandle;
extern BYTE* sharedView;   // the mapped record, NULL when it could not be had
extern BYTE* privateCopy;  // CB_SIZE bytes from AllocZeroed, NULL when it could not be had

// The call that kept the record from coming into being (for the start-up box).
extern const WCHAR* blockFailedCall;

enum CreateBlockResult {
  BLOCK_CREATED = 0,
  BLOCK_SECURITY_FAILED = 1,
  BLOCK_UNAVAILABLE = 2,  // no mapping, view or private copy: nothing to work on
};

// The security of the shared memory: the three-entry access list.
struct BlockSecurity {
  SECURITY_ATTRIBUTES attributes;
  SECURITY_DESCRIPTOR descriptor;
  PACL accessList;
  PSID interactiveSid;
  PSID administratorsSid;
  SID localSystemSid;  // built in place
};
enum { SECURITY_READY = 0, SECURITY_FAILED = 1, SECURITY_NO_LIST = 2 };
int BuildBlockSecurity(BlockSecurity* security);
void FreeBlockSecurity(BlockSecurity* security);

void InitBlockValues(BYTE* copy);
int CreateConnectionBlock(void);
void RecreateConnectionBlock(int newSlot);
void CloseConnectionBlock(void);

void CopyBlockWait(void* destination, const void* source, SIZE_T length, const WCHAR* mutexName);
void CopyBlockOnce(void* destination, const void* source, SIZE_T length, const WCHAR* mutexName);

// The round trip that changes one 32-bit field: read the record, change the
// field in privateCopy, write the record back, all under one hold of the
// mapping mutex so a write of the language monitor in between is not lost.
void ChangeBlockField(DWORD offset, LONG value);

// Field access on a record copy.
LONG BlockLong(const BYTE* block, DWORD offset);
void SetBlockLong(BYTE* block, DWORD offset, LONG value);
