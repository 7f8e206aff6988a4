// The simulated spooler's side of the language monitor: answering status
// inquiries, honouring cancel requests, and the script's own print job.
#include "lmsim.h"
#include <winspool.h>
#include "connection/connection_block.h"
#include "spooler/scripted_spooler.h"

#define INSTALLED_PORT L"USB001"
enum { PROFILE_ENTRY_UNITS = 1024 };

SimulatedPrinter simPrinter = {};

// The inquiry job being timed for `answer-delay`, and since when.
static DWORD timedInquiryJob;
static ULONGLONG timedInquirySince;

// The queue the script's job goes to: the printer named by `printer` if the
// simulated spooler has it, else the default printer of the profile.
static int ServedPrinter(void) {
  if (simPrinter.printerSet) {
    int printer = SpoolerFindPrinter(simPrinter.printerName.c_str());
    if (printer >= 0) return printer;
  }
  WCHAR entry[PROFILE_ENTRY_UNITS];
  GetProfileStringW(L"windows", L"device", L"", entry, PROFILE_ENTRY_UNITS);
  WCHAR* comma = wcschr(entry, L',');
  if (comma) *comma = L'\0';
  return entry[0] ? SpoolerFindPrinter(entry) : -1;
}

static BOOL IsInquiry(const SpoolJob* job) {
  return job->hasDocument && lstrcmpW(job->document, DummyDocumentName()) == 0;
}

// The job a cancel request is about: the script's own, else the first job
// of the served queue that is not an inquiry.
static void RemoveCurrentJob(void) {
  if (simPrinter.queuedJobId) {
    SpoolerRemoveJob(simPrinter.queuedJobPrinter, simPrinter.queuedJobId);
    simPrinter.queuedJobId = 0;
    return;
  }
  int printer = ServedPrinter();
  SpoolJob job;
  for (int position = 0; printer >= 0 && SpoolerGetJob(printer, position, &job); position++) {
    if (!IsInquiry(&job)) {
      SpoolerRemoveJob(printer, job.id);
      return;
    }
  }
}

static void HonourCancel(void) {
  if (!simPrinter.cancelHonoured) return;
  BYTE* record = LockRecord();
  if (!record) return;
  BOOL requested = RecordLong(record, CB_CANCEL_REQUEST) != 0;
  if (requested) {
    StoreText(record, CB_DOCUMENT_NAME, CB_DOCUMENT_NAME_SIZE, L"");
    StoreText(record, CB_USER_NAME, CB_USER_NAME_SIZE, L"");
    StoreLong(record, CB_CANCEL_REQUEST, 0);
  }
  UnlockRecord();
  if (!requested) return;
  simPrinter.documentName.clear();
  simPrinter.userName.clear();
  RemoveCurrentJob();
  Say(L"cancel request honoured: job removed, document emptied");
}

// An inquiry is answered once the status monitor has finished spooling it.
static void AnswerInquiry(void) {
  if (simPrinter.answerMode == ANSWER_OFF) return;
  SpoolerState* state = SpoolerLock();
  if (!state) return;
  int printer = -1;
  DWORD jobId = 0;
  for (int p = 0; p < SPOOL_MAX_PRINTERS && !jobId; p++) {
    if (!state->printers[p].used) continue;
    for (int j = 0; j < SPOOL_MAX_JOBS && state->printers[p].jobs[j].id; j++) {
      const SpoolJob* job = &state->printers[p].jobs[j];
      if (IsInquiry(job) && job->complete) {
        printer = p;
        jobId = job->id;
        break;
      }
    }
  }
  SpoolerUnlock();
  if (!jobId) {
    timedInquiryJob = 0;
    return;
  }
  ULONGLONG now = GetTickCount64();
  if (jobId != timedInquiryJob) {
    timedInquiryJob = jobId;
    timedInquirySince = now;
  }
  if (now - timedInquirySince < simPrinter.answerDelay) return;
  LONG code = simPrinter.answerMode == ANSWER_FIXED ? simPrinter.answerCode : simPrinter.status;
  if (!WriteRecordLong(CB_STATUS_CODE, code)) return;
  SpoolerRemoveJob(printer, jobId);
  timedInquiryJob = 0;
  Say(L"status inquiry answered with %ld", code);
}

void ServeOnce(void) {
  HonourCancel();
  AnswerInquiry();
}

void ServeFor(DWORD milliseconds) {
  ULONGLONG deadline = GetTickCount64() + milliseconds;
  for (;;) {
    ServeOnce();
    ULONGLONG now = GetTickCount64();
    if (now >= deadline) return;
    ULONGLONG left = deadline - now;
    Sleep(left < SERVE_POLL_MS ? (DWORD)left : (DWORD)SERVE_POLL_MS);
  }
}

BOOL QueueJob(void) {
  int printer = ServedPrinter();
  if (printer < 0) {
    Complain(L"job: the simulated spooler has no such printer (use `printer` or `install`)");
    return FALSE;
  }
  if (simPrinter.queuedJobId) SpoolerRemoveJob(simPrinter.queuedJobPrinter, simPrinter.queuedJobId);
  simPrinter.queuedJobId = SpoolerAddJob(printer, simPrinter.documentName.c_str(),
                                         simPrinter.userName.c_str(), JOB_STATUS_PRINTING);
  simPrinter.queuedJobPrinter = printer;
  if (!simPrinter.queuedJobId) {
    Complain(L"job: the simulated queue is full");
    return FALSE;
  }
  return TRUE;
}

void EndJob(void) {
  if (simPrinter.queuedJobId) SpoolerRemoveJob(simPrinter.queuedJobPrinter, simPrinter.queuedJobId);
  simPrinter.queuedJobId = 0;
  simPrinter.userName.clear();
  simPrinter.documentName.clear();
  simPrinter.userSet = simPrinter.documentSet = TRUE;
  WriteRecordText(CB_USER_NAME, CB_USER_NAME_SIZE, L"");
  WriteRecordText(CB_DOCUMENT_NAME, CB_DOCUMENT_NAME_SIZE, L"");
}

BOOL InstallPrinter(const std::wstring& name) {
  if (SpoolerFindPrinter(name.c_str()) < 0 &&
      SpoolerAddPrinter(name.c_str(), DriverName(), INSTALLED_PORT,
                        PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_ENABLE_BIDI) < 0) {
    Complain(L"install: the simulated spooler has no room for another printer");
    return FALSE;
  }
  return SpoolerSetDefaultPrinter(name.c_str());
}
