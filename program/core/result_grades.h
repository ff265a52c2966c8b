#pragma once

// The verbal grades of the totals, shared by the results file and the results
// sheet so that both always say the same. Each bound belongs to the lower
// grade; a total of exactly 0 has a grade of its own.

// Grade of the horizontal ground displacement Dcy (cm).
const char* DcyGrade(double dcyTotal);

// Grade of the liquefaction potential index PL. A negative total (points
// below 20 m weigh negatively) is graded like a small positive one.
const char* PlGrade(double plTotal);
