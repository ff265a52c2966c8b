#include "sheets/segment_clip.h"

#include <algorithm>
#include <cmath>

bool ClipSegment(double& x1, double& y1, double& x2, double& y2, double left, double top,
                 double right, double bottom) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return false;
    double dx = x2 - x1;
    double dy = y2 - y1;
    double t0 = 0;
    double t1 = 1;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {x1 - left, right - x1, y1 - top, bottom - y1};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (!(q[k] >= 0))
                return false;
            continue;
        }
        double t = q[k] / p[k];
        if (p[k] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (!(t0 <= t1))
        return false;
    double ax = x1 + t0 * dx;
    double ay = y1 + t0 * dy;
    x2 = x1 + t1 * dx;
    y2 = y1 + t1 * dy;
    x1 = ax;
    y1 = ay;
    return true;
}
