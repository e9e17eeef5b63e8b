#include "LineFollower.h"

#include <utility>

LineFollower::LineFollower(std::string path) : mPath(std::move(path)) {}

std::vector<std::string> LineFollower::newLines()
{
    std::vector<std::string> lines;
    if (!mFile.is_open()) {
        mFile.open(mPath);
        if (!mFile.is_open())
            return lines;
    }
    std::string piece;
    while (std::getline(mFile, piece)) {
        if (mFile.eof()) {
            // No newline after it: the writer is in the middle of this line.
            mUnfinished += piece;
            break;
        }
        lines.push_back(mUnfinished + piece);
        mUnfinished.clear();
    }
    // Past the end for now; the writer may add more before the next call.
    mFile.clear();
    return lines;
}
