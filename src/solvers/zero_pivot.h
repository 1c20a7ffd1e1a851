// The message for a band reduction that met a vanished pivot.
#pragma once

namespace meridolan {

class Report;

// Names the equation whose pivot vanished, its degree of freedom and its node, says
// that the slab is not held against that movement, and stops the run.
[[noreturn]] void report_zero_pivot(Report& rep, int equation);

}  // namespace meridolan
