#pragma once

// The figures of the frame rate, as numbers, beside the title text the
// renderer makes of them: a backend that shows the rate itself (the hack's
// overlay) takes them from here instead of reading the title back. On
// Windows nothing takes them.

struct RateFigures {
    double framesPerSecond = 0.0;
    int triangles = 0;  // drawn in each frame
};

#if defined(_WIN32)
inline void ReportRateFigures(const RateFigures& /*figures*/) {}
#else
// Hands the figures to the installed backend, if it takes them.
void ReportRateFigures(const RateFigures& figures);
#endif
