// How long the phases of a panel's last refresh took; the panel benchmark prints them.
#pragma once
#include <windows.h>

struct RefreshTimings {
    double clear = 0;     // the old rows go (marks collected first)
    double enumerate = 0; // the file system's listing
    double add = 0;       // AddEntry
    double marks = 0;     // collecting the marked names and finding them again
    double sort = 0;
    double position = 0;  // top row and cursor of this depth
    double summary = 0;   // the selection line
    double total = 0;
};

// Seconds since the clock was started or last read by Lap.
class PhaseClock {
public:
    PhaseClock() { ::QueryPerformanceCounter(&last); }
    double Lap()
    {
        LARGE_INTEGER now, frequency;
        ::QueryPerformanceCounter(&now);
        ::QueryPerformanceFrequency(&frequency);
        double seconds = static_cast<double>(now.QuadPart - last.QuadPart) / static_cast<double>(frequency.QuadPart);
        last = now;
        return seconds;
    }

private:
    LARGE_INTEGER last;
};
