// The four levels as a player learns them: where every barrel stands when a level begins.
#pragma once

#include "Ballistics.h"

#include <vector>

namespace autoplayer {

struct Barrel
{
    Point standing; // centre of the barrel once it has settled
    int row;        // 1 is the bottom row
};

// Every barrel of `level` (1 to 4), bottom row first; empty for any other number.
std::vector<Barrel> levelLayout(int level);

// Seconds allowed for `level`, 0 past the last one.
double levelTimeLimit(int level);

const int LAST_LEVEL = 4;

}
