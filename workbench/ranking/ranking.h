// The Ranking menu: stepwise and logarithmic ranking systems and the rank database.
#pragma once

namespace corelith {

struct Workbench;

int CreateStepwiseRanking(Workbench& wb);    // command 41
int CreateRankDatabase(Workbench& wb);       // command 42
int CreateLogarithmicRanking(Workbench& wb); // command 43

} // namespace corelith
