#include "ranking/ranking.h"

namespace corelith {

int CreateStepwiseRanking(Workbench&) { return 0; }
int CreateRankDatabase(Workbench&) { return 0; }
int CreateLogarithmicRanking(Workbench&) { return 0; }

} // namespace corelith
