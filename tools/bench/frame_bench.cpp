// Time per frame of the game against a bare engine program drawing the same scene, in the menu and
// in level 1, and what the GUI's drawing, the statistics overlay and the game's callbacks each add.
#include "Children.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    const BenchOptions options =
        parseOptions(argc, argv, "[--rounds N] [--frames N] [--settle N] [--run-dir DIR] [--short]");
    try {
        SnapshotFolder folder;
        struct Variant
        {
            const char* name;
            const char* side;
            const char* flag;
            std::vector<Figures> runs;
        };
        std::vector<Variant> variants = {{"game", "game", nullptr, {}},
                                         {"bare", "bare", nullptr, {}},
                                         {"game, no GUI drawing", "game", "--no-gui", {}},
                                         {"game, no overlay", "game", "--no-overlay", {}},
                                         {"game, no callbacks", "game", "--no-callbacks", {}}};
        // Interleaved, so that both sides see the machine as it is at the time.
        for (int round = 0; round < options.rounds; ++round) {
            for (Variant& variant : variants) {
                std::vector<std::string> args = sideArgs(variant.side, options, folder);
                // The first game run leaves the scene for the bare program.
                if (round == 0 && &variant == &variants.front())
                    args.push_back("--write-snapshot");
                if (variant.flag)
                    args.push_back(variant.flag);
                variant.runs.push_back(runSide(args, options));
            }
        }

        std::printf("%d rounds of %d frames after %d settling frames; medians\n", options.rounds, options.frames,
                    options.settle);
        std::printf("%-24s %12s %12s %12s %12s\n", "", "menu ms", "menu cpu ms", "play ms", "play cpu ms");
        for (const Variant& variant : variants)
            std::printf("%-24s %12.3f %12.3f %12.3f %12.3f\n", variant.name, medianOf(variant.runs, "frame_menu_ms"),
                        medianOf(variant.runs, "cpu_menu_ms"), medianOf(variant.runs, "frame_play_ms"),
                        medianOf(variant.runs, "cpu_play_ms"));

        const std::vector<Figures>& game = variants[0].runs;
        const std::vector<Figures>& bare = variants[1].runs;
        for (const char* where : {"menu", "play"}) {
            const std::string frame = std::string("frame_") + where + "_ms";
            const double full = medianOf(game, frame);
            std::printf("share of the game's %s frame:", where);
            for (std::size_t i = 2; i < variants.size(); ++i)
                std::printf(" %s %+.3f ms;", variants[i].flag + 5, full - medianOf(variants[i].runs, frame));
            std::printf("\n");
        }
        printRatio("frame_play", medianOf(game, "frame_play_ms") / medianOf(bare, "frame_play_ms"));
        printRatio("frame_menu", medianOf(game, "frame_menu_ms") / medianOf(bare, "frame_menu_ms"));
        printRatio("cpu_play", medianOf(game, "cpu_play_ms") / medianOf(bare, "cpu_play_ms"));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "frame_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
