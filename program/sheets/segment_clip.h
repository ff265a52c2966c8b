#pragma once

// Cuts the segment (x1, y1)-(x2, y2) to its part inside the rectangle
// [left, right] × [top, bottom] (Liang-Barsky); false when nothing of it is
// inside or a coordinate is not finite. The sheets clip what they draw with
// it, so that the work of a page is bounded by the page.
bool ClipSegment(double& x1, double& y1, double& x2, double& y2, double left, double top,
                 double right, double bottom);
