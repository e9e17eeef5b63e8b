// Process start to the first rendered frame, the engine dialog skipped, game against the bare
// program, with the steps in between.
#include "Children.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    BenchOptions options = parseOptions(argc, argv, "[--rounds N] [--run-dir DIR] [--short]");
    // Only the first frame matters here.
    options.frames = 1;
    options.settle = 0;
    try {
        SnapshotFolder folder;
        const PairedRuns runs = runPairs(options, folder);
        const std::vector<Figures>& game = runs.game;
        const std::vector<Figures>& bare = runs.bare;

        std::printf("%d rounds; medians in ms\n%-34s %10s %10s\n", options.rounds, "step", "game", "bare");
        const char* steps[][2] = {{"step_exec_ms", "exec and libraries"},
                                  {"step_root_ms", "engine root, resource list"},
                                  {"step_window_ms", "window"},
                                  {"step_resources_ms", "resources"},
                                  {"step_scene_ms", "scene"},
                                  {"step_game_ms", "game (bare: nothing)"},
                                  {"step_world_ms", "  of which physics world"},
                                  {"step_arena_ms", "  of which arena"},
                                  {"step_gui_ms", "  of which GUI"},
                                  {"step_first_frame_ms", "first frame"},
                                  {"startup_ms", "process start to first frame"}};
        for (const auto& step : steps) {
            const bool inBare = bare.front().count(step[0]) > 0;
            std::printf("%-34s %10.1f ", step[1], medianOf(game, step[0]));
            if (inBare)
                std::printf("%10.1f\n", medianOf(bare, step[0]));
            else
                std::printf("%10s\n", "-");
        }
        printRatio("startup", medianOf(game, "startup_ms") / medianOf(bare, "startup_ms"));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "startup_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
