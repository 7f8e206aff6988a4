// Operator requests: the status inquiry through a dummy job, and the print cancel request.
#pragma once
#include <windows.h>

extern int inquiryRunning;

enum { INQUIRY_SILENT = 0, INQUIRY_EXPLAINED = 1, INQUIRY_FATAL = 2 };
enum { INQUIRY_WAIT_MILLISECONDS = 2000, INQUIRY_PUMP_STEPS = 20 };
enum { CANCEL_POLLS = 100, CANCEL_POLL_MILLISECONDS = 10, CANCEL_PUMP_STEPS = 10 };

int StatusInquiry(void);
// -1 queue unreadable or argument missing, 0 empty queue, 1 a job is queued.
int FindQueuedJob(HANDLE printer, const WCHAR* documentName);
BOOL PortAccepted(const WCHAR* portName);
void RequestPrintCancel(HWND window);
