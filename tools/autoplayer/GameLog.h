// Follows the game's engine log and keeps the facts a player reads off the heads-up display.
#pragma once

#include <fstream>
#include <string>

namespace autoplayer {

class GameLog
{
public:
    explicit GameLog(const std::string& path);

    // Reads whatever the game has written since the last call; true if anything new came.
    bool update();
    // Takes one line the way update() takes each line of the file.
    void read(const std::string& line);

    bool gameStarted() const { return mGameStarted; }
    int level() const { return mLevel; } // level of the last "built" line, 0 before
    int barrelsInLevel() const { return mBarrels; }
    int levelsCleared() const { return mLevelsCleared; }
    bool timeUp() const { return mTimeUp; }
    int bestScore() const { return mBestScore; } // last raised or saved, -1 if never
    int lastScore() const { return mLastScore; } // score at the last clear or time-up
    bool bestScoreSaved() const { return mSaved; }

private:
    std::string mPath;
    std::ifstream mFile;
    std::string mPartial;
    bool mGameStarted;
    int mLevel;
    int mBarrels;
    int mLevelsCleared;
    bool mTimeUp;
    int mBestScore;
    int mLastScore;
    bool mSaved;
};

}
