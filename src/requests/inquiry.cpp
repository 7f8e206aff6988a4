// Placeholder until the operator requests land.
#include "requests/requests.h"
int inquiryRunning;
int StatusInquiry(void) { return 0; }
void RequestPrintCancel(HWND) {}
