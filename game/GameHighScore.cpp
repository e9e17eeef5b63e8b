// The best score, kept between runs in a one-number text file.
#include "Game.h"

#include "GameEvents.h"
#include "HighScoreFile.h"

#include <chrono>

// Set as the program is loaded, before anything of the game runs.
const std::chrono::system_clock::time_point Game::PROGRAM_LOADED = std::chrono::system_clock::now();

int Game::loadHighScore()
{
    HighScoreFile::removeLeftovers(HighScoreFile::NAME, PROGRAM_LOADED);
    return HighScoreFile::read(HighScoreFile::NAME).score;
}

void Game::saveHighScore() const
{
    using namespace HighScoreFile;
    // Read again just before replacing: another copy of the game or the player may have changed it.
    const Reading now = read(NAME);
    if (!mayReplace(now, mHighScore)) {
        const char* reason = now.content == Content::Unreadable ? "it cannot be read"
                             : now.content == Content::Number   ? "it holds a higher score"
                                                                : "it holds no number";
        logEvent(GameEvents::line(GameEvents::BEST_SCORE_KEPT, mHighScore, NAME, reason));
        return;
    }
    // A failed write is not reported to the player: the old file stays and the game goes on or ends as asked.
    if (replace(NAME, mHighScore))
        logEvent(GameEvents::line(GameEvents::BEST_SCORE_SAVED, mHighScore, NAME));
    else
        logEvent(GameEvents::line(GameEvents::BEST_SCORE_KEPT, mHighScore, NAME, "it could not be replaced"));
}

void Game::windowClosed(Ogre::RenderWindow* window)
{
    if (window == mRenderWindow) {
        saveHighScore();
        saveSettings();
    }
    ShellFrameListener::windowClosed(window);
}
