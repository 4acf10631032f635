#pragma once
// Test-only seam: makes the n-th text buffer write-out, the n-th file
// close, or the n-th rename of an output into place fail with a chosen
// Windows error code; or makes the system refuse the n-th unnamed private
// file of an output (Linux), as file systems without them do. Nothing in the program's user interfaces reaches it; when disarmed
// it costs one flag test per operation.

namespace platform::fault_injection {

enum class Operation { kWriteOut, kClose, kUnnamedFile, kRename };

// Counting starts afresh at the call: n = 1 fails the next operation of that
// kind. A failing close still releases the handle, so no test leaks it.
void FailNth(Operation operation, int n, int errorCode);
// Counts operations without failing any (for tests that enumerate positions).
void StartCounting();
int Count(Operation operation);
void Reset();

// Called by the file layer: returns the code to fail with, or 0.
int Check(Operation operation);

}  // namespace platform::fault_injection
