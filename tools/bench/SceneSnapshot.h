// What a frame of the game draws, read from its live scene: camera, lights, texture defaults and
// every visible entity where it stands. The bare program rebuilds the same picture from it, so
// neither side restates the game's layout.
#pragma once

#include <OgreColourValue.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <string>
#include <vector>

namespace Ogre {
class Camera;
class SceneManager;
}

struct SceneSnapshot
{
    struct Pose
    {
        Ogre::Vector3 position = Ogre::Vector3::ZERO;
        Ogre::Quaternion orientation = Ogre::Quaternion::IDENTITY;
        Ogre::Vector3 scale = Ogre::Vector3::UNIT_SCALE;
    };
    struct Light
    {
        int type = 0;
        Ogre::Vector3 position = Ogre::Vector3::ZERO;
        Ogre::ColourValue diffuse, specular;
    };
    struct Item
    {
        std::string mesh;
        std::vector<std::string> materials;
        Pose pose;
    };

    Pose camera;
    float nearClip = 5;
    float fovYRadians = 0;
    Ogre::ColourValue ambient, background;
    std::vector<Light> lights;
    // Minification, magnification and mip filters.
    int filtering[3] = {0, 0, 0};
    unsigned int anisotropy = 1;
    int mipmaps = 0;
    std::vector<Item> items;

    static SceneSnapshot take(Ogre::SceneManager* scene, Ogre::Camera* camera);
    // Meshes made in code rather than loaded (the floor) go beside the snapshot as mesh files.
    void save(const std::string& file, const std::string& meshFolder) const;
    static SceneSnapshot load(const std::string& file);

    // The material defaults, to be set before anything loads a texture.
    void applyDefaults() const;
    void placeCamera(Ogre::Camera* camera) const;
    void applyLights(Ogre::SceneManager* scene) const;
    // Replaces the entities the previous call made.
    void buildItems(Ogre::SceneManager* scene) const;
};
