// "Counting...": counting specimens under the microscope over a frequency matrix.
#pragma once

namespace corelith {

struct Workbench;

// Command 64. Returns 0 when done or the first dialog was cancelled, -1 input not opened,
// -2 output not created, -3 diversity file not created, -4 "Save as" cancelled.
int CountSpecimens(Workbench& wb);

} // namespace corelith
