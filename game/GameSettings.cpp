// The player's settings: read at start, changed through the panel, by M or by a pad, applied at once.
#include "Game.h"

#include "GameEvents.h"
#include "GameSound.h"
#include "SettingsPanel.h"
#include "SmallFile.h"

#include <OgreLogManager.h>

#include <CEGUI/Window.h>

#include <cmath>

namespace {
// A menu's focus moves a step when the left stick passes this far from the centre, and is ready to
// move again once it is back within the second.
const float STICK_STEP = 0.5f;
const float STICK_CENTRE = 0.3f;

void logLine(const std::string& line)
{
    Ogre::LogManager::getSingleton().logMessage("Settings: " + line);
}
}

void Game::loadSettings(const std::string& file)
{
    mSettingsFile = file;
    SmallFile::removeLeftovers(file.c_str(), PROGRAM_LOADED);
    const SettingsFile::Reading reading = SettingsFile::read(file, SettingsFile::LEGACY_SOUND_FILE);
    for (const std::string& problem : reading.problems)
        logLine(problem);
    mSettingsLines = reading.lines;
    applySettings(reading.settings, nullptr);
    mSettings = reading.settings;
}

void Game::applySettings(const Settings& settings, const Settings* before)
{
    // The look's rates, the rumble and the marker at a game's start are read where they are used.
    const auto changed = [before](auto Settings::*member, const Settings& now) {
        return !before || before->*member != now.*member;
    };
    if (changed(&Settings::volume, settings))
        mSound->device().setVolume(static_cast<float>(settings.volume) / 100);
    if (changed(&Settings::sound, settings))
        mSound->device().setEnabled(settings.sound);
    if (changed(&Settings::statistics, settings)) {
        mShowStatistics = settings.statistics;
        setStatisticsVisible(mShowStatistics);
    }
    if (changed(&Settings::fullScreen, settings))
        setFullScreen(settings.fullScreen);
}

void Game::changeSettings(const Settings& settings)
{
    if (settings == mSettings)
        return;
    applySettings(settings, &mSettings);
    mSettings = settings;
    mSettingsUnsaved = true;
    Ogre::LogManager::getSingleton().logMessage(GameEvents::SETTINGS_CHANGED);
}

void Game::saveSettings()
{
    if (!mSettingsUnsaved)
        return;
    const std::string text = SettingsFile::text(mSettings, mSettingsLines);
    if (!SettingsFile::write(mSettingsFile, text)) {
        logLine("cannot write " + mSettingsFile + "; the changes last until the game ends");
        return;
    }
    mSettingsLines = SettingsFile::lines(text);
    mSettingsUnsaved = false;
    Ogre::LogManager::getSingleton().logMessage(GameEvents::line(GameEvents::SETTINGS_SAVED, mSettingsFile.c_str()));
}

bool Game::onSettings(const CEGUI::EventArgs&)
{
    mSound->playHere(Sounds::BUTTON);
    openSettings();
    return true;
}

void Game::openSettings()
{
    if (mSettingsPanel->isOpen())
        return;
    if (mGameStarted && !mPaused)
        togglePause();
    mMenuWindow->hide();
    mSettingsButton->hide();
    mSettingsPanel->open(mSettings);
    Ogre::LogManager::getSingleton().logMessage(GameEvents::SETTINGS_SHOWN);
}

void Game::closeSettings()
{
    if (!mSettingsPanel->isOpen())
        return;
    mSettingsPanel->close();
    mMenuWindow->show();
    mSettingsButton->show();
    Ogre::LogManager::getSingleton().logMessage(GameEvents::SETTINGS_HIDDEN);
    saveSettings();
}

void Game::navigate(FocusList& focus)
{
    // Every control acts on release, as keys do; the stick once each time it leaves the centre.
    int vertical = 0, horizontal = 0;
    if (releasedNow(OIS::KC_UP) | padReleasedNow(Gamepads::DPAD_UP))
        --vertical;
    if (releasedNow(OIS::KC_DOWN) | padReleasedNow(Gamepads::DPAD_DOWN))
        ++vertical;
    if (releasedNow(OIS::KC_LEFT) | padReleasedNow(Gamepads::DPAD_LEFT))
        --horizontal;
    if (releasedNow(OIS::KC_RIGHT) | padReleasedNow(Gamepads::DPAD_RIGHT))
        ++horizontal;
    const float x = mGamepads->axis(Gamepads::LEFT_X), y = mGamepads->axis(Gamepads::LEFT_Y);
    if (mStickCentred && (std::abs(x) > STICK_STEP || std::abs(y) > STICK_STEP)) {
        mStickCentred = false;
        if (std::abs(y) >= std::abs(x))
            vertical += y > 0 ? 1 : -1;
        else
            horizontal += x > 0 ? 1 : -1;
    } else if (std::abs(x) < STICK_CENTRE && std::abs(y) < STICK_CENTRE) {
        mStickCentred = true;
    }
    if (vertical != 0)
        focus.step(vertical);
    if (horizontal != 0)
        focus.adjust(horizontal);
    if (releasedNow(OIS::KC_RETURN) | releasedNow(OIS::KC_NUMPADENTER) | padReleasedNow(Gamepads::A))
        focus.press();
}
