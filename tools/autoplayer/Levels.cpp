#include "Levels.h"

namespace autoplayer {

namespace {
// Settled heights: barrels drop onto the platform's top and onto one another from where they appear.
const double PLATFORM_TOP = 4.8;
const double BARREL_HEIGHT = 7.68;
const double SPACING = 6;

double restingHeight(int row)
{
    return PLATFORM_TOP + BARREL_HEIGHT * (row - 0.5);
}

void addRow(std::vector<Barrel>& barrels, int row, int count, double firstX, double step, double z)
{
    for (int i = 0; i < count; ++i)
        barrels.push_back(Barrel{Point{firstX + step * i, restingHeight(row), z}, row});
}
}

std::vector<Barrel> levelLayout(int level)
{
    std::vector<Barrel> barrels;
    switch (level) {
    case 1:
        addRow(barrels, 1, 4, -7, SPACING, 0);
        addRow(barrels, 2, 2, -4, SPACING, 0);
        break;
    case 2:
    case 3:
        addRow(barrels, 1, 6, -12, SPACING, 0);
        addRow(barrels, 2, 5, -9, SPACING, 0);
        addRow(barrels, 3, 4, -5, SPACING, 0);
        addRow(barrels, 4, 3, -2, SPACING, 0);
        if (level == 3)
            addRow(barrels, 5, 2, 1, SPACING, 0);
        break;
    case 4:
        addRow(barrels, 1, 3, -20, SPACING, -5);
        addRow(barrels, 1, 1, -10, 0, 0);
        addRow(barrels, 1, 3, 20, -SPACING, -5);
        addRow(barrels, 1, 1, 10, 0, 0);
        break;
    default:
        break;
    }
    return barrels;
}

double levelTimeLimit(int level)
{
    switch (level) {
    case 1:
        return 31;
    case 2:
        return 36;
    case 3:
    case 4:
        return 41;
    default:
        return 0;
    }
}

}
