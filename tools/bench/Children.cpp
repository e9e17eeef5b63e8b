#include "Children.h"

#include "Measure.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include <sys/wait.h>
#include <unistd.h>

BenchOptions parseOptions(int argc, char** argv, const char* usage)
{
    BenchOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--short") {
            options.quick = true;
            options.rounds = 1;
            options.frames = 5;
            options.settle = 5;
        } else if (arg == "--rounds" && hasValue) {
            options.rounds = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--frames" && hasValue) {
            options.frames = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--settle" && hasValue) {
            options.settle = std::max(0, std::atoi(argv[++i]));
        } else if (arg == "--run-dir" && hasValue) {
            options.runDir = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s %s\n", argv[0], usage);
            std::exit(2);
        }
    }
    return options;
}

SnapshotFolder::SnapshotFolder()
{
    char pattern[] = "/tmp/barrels-bench.XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("cannot make a folder under /tmp");
    mPath = pattern;
}

SnapshotFolder::~SnapshotFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(mPath, ignored);
}

namespace {
std::string besideThisProgram(const std::string& name)
{
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / name;
}
}

Figures runSide(const std::vector<std::string>& args, const BenchOptions& options)
{
    std::vector<std::string> all = {besideThisProgram("bench_side")};
    all.insert(all.end(), args.begin(), args.end());
    all.push_back("--run-dir");
    all.push_back(options.runDir);
    all.push_back("--spawned-at");
    all.push_back(std::to_string(Measure::nowNs()));

    int out[2];
    if (pipe(out) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        std::vector<char*> argv;
        for (std::string& arg : all)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        std::perror(argv[0]);
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buffer[4096];
    ssize_t got;
    while ((got = read(out[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, std::size_t(got));
    close(out[0]);
    int status = 0;
    waitpid(child, &status, 0);

    // The engine echoes its log to standard output until the shell turns that off: only
    // "name value" lines count.
    Figures figures;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        char name[128];
        double value;
        char rest;
        if (std::sscanf(line.c_str(), "%127s %lf %c", name, &value, &rest) == 2)
            figures[name] = value;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || figures.empty()) {
        std::string command;
        for (const std::string& arg : all)
            command += arg + " ";
        throw std::runtime_error("failed: " + command + "\n" + text);
    }
    return figures;
}

std::vector<std::string> sideArgs(const std::string& side, const BenchOptions& options, const SnapshotFolder& folder)
{
    return {side,         "--frames",   std::to_string(options.frames), "--settle", std::to_string(options.settle),
            "--snapshot", folder.path()};
}

PairedRuns runPairs(const BenchOptions& options, const SnapshotFolder& folder)
{
    PairedRuns runs;
    for (int round = 0; round < options.rounds; ++round) {
        std::vector<std::string> args = sideArgs("game", options, folder);
        if (round == 0)
            args.push_back("--write-snapshot");
        runs.game.push_back(runSide(args, options));
        runs.bare.push_back(runSide(sideArgs("bare", options, folder), options));
    }
    return runs;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double medianOf(const std::vector<Figures>& runs, const std::string& name)
{
    std::vector<double> values;
    for (const Figures& run : runs) {
        const auto found = run.find(name);
        if (found == run.end())
            throw std::runtime_error("a run printed no " + name);
        values.push_back(found->second);
    }
    return median(values);
}

void printRatio(const std::string& name, double value)
{
    std::printf("ratio %s %.3f\n", name.c_str(), value);
}
