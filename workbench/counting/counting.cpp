#include "counting/counting.h"

namespace corelith {

int CountSpecimens(Workbench&) { return 0; }

} // namespace corelith
