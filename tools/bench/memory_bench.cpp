// Resident memory of the game against the bare program, in the menu and in play, peak and steady,
// with the broadphase's share on its own.
#include "Children.h"
#include "Game.h"
#include "Measure.h"

#include <BulletCollision/BroadphaseCollision/btAxisSweep3.h>

#include <cstdio>
#include <exception>

namespace {
// What the game's broadphase alone keeps resident, measured here in a process that has nothing else.
double broadphaseMiB()
{
    const double before = Measure::statusMiB("VmRSS:");
    auto* broadphase =
        new bt32BitAxisSweep3(btVector3(-1, -1, -1), btVector3(1, 1, 1), Game::BROADPHASE_HANDLES, nullptr, false);
    const double after = Measure::statusMiB("VmRSS:");
    delete broadphase;
    return after - before;
}
}

int main(int argc, char** argv)
{
    const BenchOptions options =
        parseOptions(argc, argv, "[--rounds N] [--frames N] [--settle N] [--run-dir DIR] [--short]");
    try {
        SnapshotFolder folder;
        const PairedRuns runs = runPairs(options, folder);
        const std::vector<Figures>& game = runs.game;
        const std::vector<Figures>& bare = runs.bare;
        const double broadphase = broadphaseMiB();

        std::printf("%d rounds; medians in MiB\n%-28s %10s %10s\n", options.rounds, "resident", "game", "bare");
        const char* rows[][2] = {
            {"rss_menu_mib", "steady, menu"}, {"rss_play_mib", "steady, play"}, {"rss_peak_mib", "peak"}};
        for (const auto& row : rows)
            std::printf("%-28s %10.1f %10.1f\n", row[1], medianOf(game, row[0]), medianOf(bare, row[0]));
        std::printf("broadphase (%u handles)     %10.1f\n", Game::BROADPHASE_HANDLES, broadphase);
        const double gamePeak = medianOf(game, "rss_peak_mib") - broadphase;
        std::printf("game without the broadphase  %10.1f\n", gamePeak);
        printRatio("memory", gamePeak / medianOf(bare, "rss_peak_mib"));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "memory_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
