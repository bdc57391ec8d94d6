#include "tfproject/tf_project.h"

namespace corelith {

int BuildTransferFunctionProject(Workbench&, int) { return 0; }
int CapFacOptions(Workbench&, int) { return 0; }
int RegressOptions(Workbench&, int) { return 0; }

} // namespace corelith
