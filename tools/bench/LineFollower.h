// Follows a text file another process is still writing and hands out each complete line once.
#pragma once

#include <fstream>
#include <string>
#include <vector>

class LineFollower
{
public:
    explicit LineFollower(std::string path);

    // The lines completed since the last call; none while the file does not exist yet. A line still
    // being written waits for its newline.
    std::vector<std::string> newLines();

private:
    std::string mPath;
    std::ifstream mFile;
    std::string mUnfinished;
};
