// Start-up sequence of the application: resource registration, dialog, camera, viewport, light.
#include "TestCore.h"

#include <OgreCamera.h>
#include <OgreException.h>
#include <OgreLight.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// A working directory of its own: the run directory's plug-in list and a resource list of the test's.
struct ScratchDir
{
    explicit ScratchDir(const std::string& resources)
    {
        char pattern[] = "/tmp/barrels-app-XXXXXX";
        path = mkdtemp(pattern);
        fs::copy_file("plugins_d.cfg", path / "plugins_d.cfg");
        std::ofstream(path / "resources_d.cfg") << resources;
    }
    ~ScratchDir() { fs::remove_all(path); }
    std::string prefix() const { return path.string() + "/"; }

    fs::path path;
};

} // namespace

TEST(CoreSetup, PlacesCameraViewportLightAndTextureDefaults)
{
    TestCore core;
    ASSERT_TRUE(core.start());

    Ogre::Camera* camera = core.camera();
    EXPECT_EQ("PlayerCam", camera->getName());
    EXPECT_TRUE(camera->getDerivedPosition().positionEquals(Ogre::Vector3(0, 18, 70)));
    const Ogre::Vector3 towardTarget = (Ogre::Vector3(0, 0, -300) - Ogre::Vector3(0, 18, 70)).normalisedCopy();
    EXPECT_TRUE(camera->getDerivedDirection().positionEquals(towardTarget, 1e-5f));
    EXPECT_FLOAT_EQ(5, camera->getNearClipDistance());
    EXPECT_FLOAT_EQ(800.0f / 600.0f, camera->getAspectRatio());

    ASSERT_EQ(1, core.window()->getNumViewports());
    Ogre::Viewport* viewport = core.window()->getViewport(0);
    EXPECT_EQ(camera, viewport->getCamera());
    EXPECT_EQ(Ogre::ColourValue(0, 0, 0, 1), viewport->getBackgroundColour());
    EXPECT_EQ(800, viewport->getActualWidth());

    EXPECT_EQ(5u, Ogre::TextureManager::getSingleton().getDefaultNumMipmaps());
    EXPECT_EQ(Ogre::ColourValue(0.5f, 0.5f, 0.5f, 1), core.sceneManager()->getAmbientLight());
    Ogre::Light* light = core.sceneManager()->getLight("MainLight");
    EXPECT_EQ(Ogre::Light::LT_POINT, light->getType());
    EXPECT_TRUE(light->getDerivedPosition().positionEquals(Ogre::Vector3(20, 80, 50)));

    ASSERT_NE(nullptr, core.listener());
    EXPECT_EQ(kWindowTitle, core.window()->getName());
}

TEST(CoreSetup, CancelledDialogEndsAfterResourcesWereRead)
{
    ScratchDir dir("[Extra]\nFileSystem=" + fs::temp_directory_path().string() + "\n");
    TestCore core(dir.prefix());
    core.mCancelDialog = true;

    EXPECT_FALSE(core.start());
    EXPECT_TRUE(core.mDialogShown);
    EXPECT_EQ(nullptr, core.window());
    EXPECT_EQ(nullptr, core.listener());
    EXPECT_TRUE(Ogre::ResourceGroupManager::getSingleton().resourceGroupExists("Extra"));
    EXPECT_TRUE(fs::exists(dir.path / "Ogre.log"));
}

TEST(CoreSetup, SectionLocationsRegisteredInFileOrderWithoutRecursion)
{
    char pattern[] = "/tmp/barrels-locs-XXXXXX";
    const fs::path media = mkdtemp(pattern);
    fs::create_directories(media / "first" / "nested");
    fs::create_directories(media / "second");
    std::ofstream(media / "first" / "nested" / "deep.txt") << "x";
    ScratchDir dir("[Extra]\nFileSystem=" + (media / "second").string() + "\nFileSystem=" + (media / "first").string() +
                   "\n");
    TestCore core(dir.prefix());
    core.mCancelDialog = true;
    core.start();

    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    const auto& locations = groups.getResourceLocationList("Extra");
    ASSERT_EQ(2u, locations.size());
    EXPECT_EQ((media / "second").string(), locations.front().archive->getName());
    EXPECT_EQ((media / "first").string(), locations.back().archive->getName());
    EXPECT_FALSE(locations.back().recursive);
    EXPECT_FALSE(groups.resourceExists("Extra", "deep.txt"));
    fs::remove_all(media);
}

TEST(CoreSetup, EngineErrorWhileRegisteringResourcesComesBeforeAnyDialog)
{
    ScratchDir dir("[General]\nNoSuchArchiveType=/tmp\n");
    TestCore core(dir.prefix());

    EXPECT_THROW(core.start(), Ogre::Exception);
    EXPECT_FALSE(core.mDialogShown);
    EXPECT_EQ(nullptr, core.window());
}
