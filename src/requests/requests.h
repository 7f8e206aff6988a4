// Operator requests: the status inquiry through a dummy job, and the print cancel request.
#pragma once
#include <windows.h>
#include <winspool.h>

extern int inquiryRunning;

enum { INQUIRY_SILENT = 0, INQUIRY_EXPLAINED = 1, INQUIRY_FATAL = 2 };
enum { INQUIRY_WAIT_MILLISECONDS = 2000, INQUIRY_PUMP_STEPS = 20 };
enum { CANCEL_POLLS = 100, CANCEL_POLL_MILLISECONDS = 10, CANCEL_PUMP_STEPS = 10 };

// Status codes the inquiry writes: cleared before a settings box, pending while the answer is awaited.
enum { INQUIRY_STATUS_CLEARED = 0, INQUIRY_STATUS_PENDING = 100 };
// The spooler's word for a printer that the language monitor cannot reach now.
enum { PRINTER_UNREACHABLE = PRINTER_STATUS_OFFLINE | PRINTER_STATUS_NOT_AVAILABLE };
// The model named in the not-the-default-printer box, and that box's buffer.
#define INQUIRY_MODEL_NAME L"NRV KR-470"
enum { INQUIRY_TEXT_UNITS = 2048 };

// Accepted ports: numbered LPT, USB and COM ports, and the driver's own ports by prefix.
#define PORT_PATTERN_LPT L"LPT%1d:"
#define PORT_PATTERN_USB L"USB%03d"
#define PORT_PATTERN_COM L"COM%1d:"
#define PORT_PREFIX L"KRr_"
enum { PORT_NUMBERS = 100, PORT_PREFIX_CHARS = 3, PORT_NAME_UNITS = 16 };

// The value of cancelRequest that asks the language monitor to cancel.
enum { CANCEL_REQUESTED = 1 };

enum { QUEUE_UNREADABLE = -1, QUEUE_EMPTY = 0, QUEUE_HOLDS_JOB = 1 };

int StatusInquiry(void);
// -1 queue unreadable or argument missing, 0 empty queue, 1 a job is queued.
int FindQueuedJob(HANDLE printer, const WCHAR* documentName);
BOOL PortAccepted(const WCHAR* portName);
void RequestPrintCancel(HWND window);
