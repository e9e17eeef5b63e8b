// The comparing side of the benchmarks: runs the game and the bare program as child processes,
// one after the other, and reads the figures they print.
#pragma once

#include <map>
#include <string>
#include <vector>

using Figures = std::map<std::string, double>;

struct BenchOptions
{
    int rounds = 5;
    int frames = 300;
    // Frames before measuring: the level's barrels fall and settle, the GUI finishes laying out.
    int settle = 180;
    std::string runDir = BARRELS_BENCH_RUN_DIR;
    bool quick = false;
};

// Reads --rounds N, --frames N, --settle N, --run-dir DIR and --short (one round of a few frames);
// exits with a usage line on anything else.
BenchOptions parseOptions(int argc, char** argv, const char* usage);

// A fresh folder for the scene snapshot the two sides share, removed with its files on destruction.
class SnapshotFolder
{
public:
    SnapshotFolder();
    ~SnapshotFolder();
    const std::string& path() const { return mPath; }

private:
    std::string mPath;
};

// Runs bench_side (beside this program) with the arguments and returns what it printed; throws
// when it fails or prints nothing.
Figures runSide(const std::vector<std::string>& args, const BenchOptions& options);

// Arguments for one side: "game" or "bare", with the frame counts of the options.
std::vector<std::string> sideArgs(const std::string& side, const BenchOptions& options, const SnapshotFolder& folder);

// The game and the bare program, one after the other, for the options' rounds; the first game run
// leaves its scene in the folder for the bare program.
struct PairedRuns
{
    std::vector<Figures> game, bare;
};
PairedRuns runPairs(const BenchOptions& options, const SnapshotFolder& folder);

double median(std::vector<double> values);

// The medians over the rounds of one figure, or throws if a run did not print it.
double medianOf(const std::vector<Figures>& runs, const std::string& name);

// "ratio <name> <value>", the line scripts read.
void printRatio(const std::string& name, double value);
