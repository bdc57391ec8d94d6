#include "analogproject/analog_project.h"

namespace corelith {

int BuildAnalogProject(Workbench&, int) { return 0; }

} // namespace corelith
