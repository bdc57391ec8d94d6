// marvane: the console engine of the analog method with virtual reference samples.
#include "engine/engine.h"

#include <iostream>

int main() {
    return marvane::RunMarvane(std::cin, std::cout, marvane::EngineOptions{});
}
