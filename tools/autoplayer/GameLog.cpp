#include "GameLog.h"

#include "GameEvents.h"

#include <cstdio>

namespace autoplayer {

GameLog::GameLog(const std::string& path)
    : mPath(path), mGameStarted(false), mLevel(0), mBarrels(0), mLevelsCleared(0), mTimeUp(false), mBestScore(-1),
      mLastScore(0), mSaved(false)
{
}

bool GameLog::update()
{
    // The game may not have created its log yet; keep trying until it has.
    if (!mFile.is_open()) {
        mFile.open(mPath);
        if (!mFile.is_open())
            return false;
    }
    bool any = false;
    std::string chunk;
    char buffer[4096];
    while (mFile.read(buffer, sizeof buffer) || mFile.gcount() > 0) {
        mPartial.append(buffer, static_cast<std::size_t>(mFile.gcount()));
        any = true;
    }
    mFile.clear();
    // A line still being written stays for the next call.
    std::size_t start = 0;
    for (std::size_t end; (end = mPartial.find('\n', start)) != std::string::npos; start = end + 1)
        read(mPartial.substr(start, end - start));
    mPartial.erase(0, start);
    return any;
}

void GameLog::read(const std::string& line)
{
    // Lines carry a time stamp first; the game's own words follow it.
    const std::size_t at = line.find(": ");
    const std::string text = at == std::string::npos ? line : line.substr(at + 2);
    // Scanned with the texts that wrote them; a file name fits in the length of its line.
    int level = 0, count = 0, seconds = 0, score = 0;
    std::string file(text.size() + 1, '\0');
    if (text == GameEvents::NEW_GAME) {
        mGameStarted = true;
        mTimeUp = false;
        mLevelsCleared = 0;
    } else if (std::sscanf(text.c_str(), GameEvents::LEVEL_BUILT, &level, &count, &seconds) == 3) {
        mLevel = level;
        mBarrels = count;
    } else if (std::sscanf(text.c_str(), GameEvents::LEVEL_CLEARED, &level, &score) == 2) {
        ++mLevelsCleared;
        mLastScore = score;
    } else if (std::sscanf(text.c_str(), GameEvents::TIME_UP, &level, &score) == 2) {
        mTimeUp = true;
        mLastScore = score;
    } else if (std::sscanf(text.c_str(), GameEvents::BEST_SCORE_RAISED, &score) == 1) {
        mBestScore = score;
    } else if (std::sscanf(text.c_str(), GameEvents::BEST_SCORE_SAVED, &score, &file[0]) == 2) {
        mBestScore = score;
        mSaved = true;
    }
}

}
