// Writing files so that a failure never costs the old contents: the new bytes go to a temporary
// file beside the target, which takes the target's place (and attributes) only when complete.
#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <string>

// Writes all n bytes; false, with the last error set, when any part fails.
bool WriteAllBytes(HANDLE file, const void* data, size_t n);

// writeBody writes the whole new contents into the open temporary file and returns false (with the
// last error set) on failure. Returns 0, or the system error that stopped the save; in that case
// path is as it was. A target the user may not write (read-only, locked) is refused before anything
// is written.
DWORD WriteFileSafely(const std::wstring& path, const std::function<bool(HANDLE)>& writeBody);

// Starts the count of written bytes that the test failure below is judged by (a save does it itself).
void RestartWriteCount();

// Tests make writes fail with a full disk after this many bytes (negative: never); the count
// starts again at every call.
void SetWriteFailureAfter(int64_t bytes);
