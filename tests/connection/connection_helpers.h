// The language monitor's side of the record, as far as the tests need it: a
// thread that holds the mapping mutex, and a second handle to the mapping.
#pragma once
#include <windows.h>

// Mutexes belong to threads, so the other side runs on a thread of its own.
struct OtherSide {
  const WCHAR* mutexName;
  unsigned releaseAfterPauses;          // 0: hold until FinishOtherSide
  BOOL abandon;                         // end the thread still holding the mutex
  void (*beforeRelease)(void* context); // the other side's write, made while it holds the mutex
  void* context;
  // Filled in by StartOtherSide.
  HANDLE thread, mutex, held, release;
};

// Returns once the thread holds the mutex (and, when abandoning, has ended).
BOOL StartOtherSide(OtherSide* side);
// Lets the thread release the mutex if it still holds it, and waits for its end.
BOOL FinishOtherSide(OtherSide* side);

// A second mapping handle and view opened by name, as the language monitor opens them.
struct SecondHandle {
  HANDLE mapping;
  BYTE* view;
};
BOOL OpenSharedRecord(const WCHAR* name, SecondHandle* second);
void CloseSharedRecord(SecondHandle* second);
// Whether a mapping of that name exists at all.
BOOL MappingExists(const WCHAR* name);

enum { RECORD_BYTES = 2396 };
// The record as every start and re-creation leaves it, built from the layout's
// own numbers rather than from the program's header.
void ExpectedInitialImage(BYTE image[RECORD_BYTES]);
// Offset of the first byte that differs, or -1.
int FirstDifference(const BYTE* a, const BYTE* b, int length);

// The program's process-wide values of the record, back to "nothing created".
void ResetConnection(void);
