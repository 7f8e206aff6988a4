// What the test stand-ins for the program's seams record.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

struct Alert {
  std::wstring text;
};

// Message boxes "shown" since the last ResetSeams (caption and style are the
// program's constants: see AlertCaptionAndStyleAreFixed).
extern std::vector<Alert> shownAlerts;
// Total milliseconds the program asked to sleep, and how many pauses.
extern unsigned long long pausedMilliseconds;
extern unsigned pauseCount;
// When TRUE, PauseMilliseconds really sleeps; otherwise it returns at once.
extern BOOL realPauses;

// Thrown by the EndProcess stand-in so a test can see the process end.
struct ProcessEnded {
  UINT exitCode;
};

void ResetSeams(void);
