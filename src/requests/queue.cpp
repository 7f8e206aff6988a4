// Looks into a printer's queue one job at a time: is there anything the inquiry job would wait behind?
#include "printers/printers.h"
#include "requests/requests.h"

enum { JOB_LEVEL = 1, ONE_JOB = 1 };

// Jobs on their way out of the queue do not hold it.
static const DWORD JOB_LEAVING = JOB_STATUS_DELETED | JOB_STATUS_DELETING | JOB_STATUS_PRINTED;

static BOOL JobHoldsQueue(const JOB_INFO_1W* job, const WCHAR* documentName) {
  // An earlier inquiry job still queued: the language monitor has it, whatever its state.
  if (job->pDocument && lstrcmpW(job->pDocument, documentName) == 0) return TRUE;
  if (job->Status & JOB_LEAVING) return FALSE;
  return (job->Status & JOB_STATUS_PRINTING) != 0;
}

int FindQueuedJob(HANDLE printer, const WCHAR* documentName) {
  if (!printer || !documentName) return QUEUE_UNREADABLE;
  BYTE* buffer = NULL;
  DWORD size = 0;
  DWORD position = 0;
  int result;
  for (;;) {
    DWORD needed = 0, returned = 0;
    if (EnumJobsW(printer, position, ONE_JOB, JOB_LEVEL, buffer, size, &needed, &returned)) {
      if (returned == 0) {
        // Past the end: any job looked at on the way counts as queued.
        result = position > 0 ? QUEUE_HOLDS_JOB : QUEUE_EMPTY;
        break;
      }
      if (!buffer) {
        result = QUEUE_UNREADABLE;
        break;
      }
      if (JobHoldsQueue((const JOB_INFO_1W*)buffer, documentName)) {
        result = QUEUE_HOLDS_JOB;
        break;
      }
      position++;
      continue;
    }
    // A spooler that asks for no more than it already has would keep us here for ever.
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= size) {
      result = QUEUE_UNREADABLE;
      break;
    }
    FreeAllocated(buffer);
    DWORD allocError;
    buffer = (BYTE*)AllocZeroed(needed, &allocError);
    if (!buffer) {
      result = QUEUE_UNREADABLE;
      break;
    }
    size = needed;
  }
  if (buffer) FreeAllocated(buffer);
  return result;
}
