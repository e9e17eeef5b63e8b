// The start-up check of the media the game names: every mesh, material, texture and the statistics
// overlay must be there and readable before play starts, or the game would draw blank objects or
// fail in the middle of a level.
#pragma once

#include <OgreResourceGroupManager.h>
#include <OgreScriptCompiler.h>

#include <map>
#include <string>
#include <vector>

class MediaCheck : public Ogre::ScriptCompilerListener, public Ogre::ResourceLoadingListener
{
public:
    // Listens to the engine's script compiler and resource loading from here on: create it before
    // the resource groups are initialised, and keep it while the game loads media.
    MediaCheck();
    ~MediaCheck() override;

    // One line per problem, "<file>: <what is wrong>", after the resource groups are initialised;
    // empty when all is well.
    std::vector<std::string> problems() const;

    // The media file opened last: the GUI library's parse errors do not say which file they are about.
    const std::string& lastOpened() const { return mLastOpened; }

    void handleError(Ogre::ScriptCompiler* compiler, Ogre::uint32 code, const Ogre::String& file, int line,
                     const Ogre::String& message) override;

    // Checks that a mesh file is whole before the engine's reader, which can loop on one cut short, sees it.
    void resourceStreamOpened(const Ogre::String& name, const Ogre::String& group, Ogre::Resource* resource,
                              Ogre::DataStreamPtr& stream) override;

private:
    std::string mLastOpened;
    // What the script compiler found wrong, by file.
    std::map<std::string, std::vector<std::string>> mScriptErrors;
};
