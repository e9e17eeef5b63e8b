// Renders every material on every mesh and checks that each looks like its name says.
#include "RenderWindow.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreLight.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>

namespace {
// What a patch of the object shows: its mean colour and the range of its pixels' luminance.
struct Seen
{
    Ogre::ColourValue mean;
    float brightest, darkest;
};

struct Look
{
    const char* material;
    const char* description;
    std::function<bool(const Seen&)> matches;
};

float saturation(const Ogre::ColourValue& c)
{
    const float high = std::max({c.r, c.g, c.b}), low = std::min({c.r, c.g, c.b});
    return high > 0 ? (high - low) / high : 0;
}

Seen lookAround(const Ogre::Image& image, int cx, int cy, int radius)
{
    Seen seen{Ogre::ColourValue(0, 0, 0, 0), 0, 1};
    int count = 0;
    for (int y = cy - radius; y <= cy + radius; ++y)
        for (int x = cx - radius; x <= cx + radius; ++x) {
            const Ogre::ColourValue c = image.getColourAt(x, y, 0);
            seen.mean += c;
            const float luminance = 0.3f * c.r + 0.59f * c.g + 0.11f * c.b;
            seen.brightest = std::max(seen.brightest, luminance);
            seen.darkest = std::min(seen.darkest, luminance);
            ++count;
        }
    seen.mean /= float(count);
    return seen;
}

std::ostream& operator<<(std::ostream& out, const Seen& seen)
{
    return out << "mean " << seen.mean << ", luminance " << seen.darkest << " to " << seen.brightest;
}
}

TEST(MaterialLookTest, EachMaterialOnEachMeshLooksLikeItsName)
{
    const Look looks[] = {
        {"RustyBarrel", "reddish brown",
         [](const Seen& s) { return s.mean.r > 1.4f * s.mean.g && s.mean.g > s.mean.b && s.mean.r > 0.2f; }},
        {"Examples/GrassFloor", "green",
         [](const Seen& s) { return s.mean.g > 1.2f * s.mean.r && s.mean.g > 1.5f * s.mean.b; }},
        {"WoodPallet", "light brown",
         [](const Seen& s) {
             return s.mean.r > s.mean.g && s.mean.g > s.mean.b && s.mean.g > 0.55f * s.mean.r && s.mean.r > 0.3f;
         }},
        {"Examples/Rockwall", "dull warm grey",
         [](const Seen& s) {
             const float tint = saturation(s.mean);
             return tint > 0.1f && tint < 0.35f && s.mean.r < 1.3f * s.mean.g && s.mean.r > 0.15f &&
                    s.brightest < 0.75f;
         }},
        {"Examples/BumpyMetal", "colourless steel",
         [](const Seen& s) { return saturation(s.mean) < 0.08f && s.mean.g > 0.25f; }},
    };
    // Roughly the same size on screen: the ball's mesh is 200 across, the barrel's 5.
    const struct
    {
        const char* mesh;
        Ogre::Vector3 scale;
    } meshes[] = {{"sphere.mesh", Ogre::Vector3(0.3f)},
                  {"Barrel.mesh", Ogre::Vector3(12, 8, 12)},
                  {"cube.mesh", Ogre::Vector3(0.55f, 0.4f, 0.55f)}};

    RenderWindow& fixture = RenderWindow::instance();
    Ogre::SceneManager* scene = fixture.sceneManager();
    scene->setAmbientLight(Ogre::ColourValue(0.5f, 0.5f, 0.5f));
    Ogre::Light* light = scene->createLight("PreviewLight");
    scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(150, 600, 500))->attachObject(light);

    const int columns = sizeof(looks) / sizeof(looks[0]);
    const int rows = sizeof(meshes) / sizeof(meshes[0]);
    auto place = [&](int column, int row) {
        return Ogre::Vector3((column - (columns - 1) / 2.f) * 105, ((rows - 1) / 2.f - row) * 125, 0);
    };
    for (int column = 0; column < columns; ++column)
        for (int row = 0; row < rows; ++row) {
            Ogre::Entity* entity = scene->createEntity(meshes[row].mesh);
            entity->setMaterialName(looks[column].material);
            Ogre::SceneNode* node = scene->getRootSceneNode()->createChildSceneNode(place(column, row));
            node->setScale(meshes[row].scale);
            node->yaw(Ogre::Degree(30));
            node->pitch(Ogre::Degree(20), Ogre::Node::TS_WORLD);
            node->attachObject(entity);
        }

    fixture.renderTo("media_preview.png");
    const Ogre::Image picture = fixture.capture();

    const Ogre::Matrix4 toScreen = fixture.camera()->getProjectionMatrix() * fixture.camera()->getViewMatrix();
    for (int column = 0; column < columns; ++column)
        for (int row = 0; row < rows; ++row) {
            const Ogre::Vector3 ndc = toScreen * place(column, row);
            const int x = int((ndc.x + 1) / 2 * picture.getWidth());
            const int y = int((1 - ndc.y) / 2 * picture.getHeight());
            const Seen seen = lookAround(picture, x, y, 20);
            EXPECT_TRUE(looks[column].matches(seen))
                << meshes[row].mesh << " with " << looks[column].material << " should look "
                << looks[column].description << " but is " << seen;
        }
    scene->clearScene();
    scene->destroyAllLights();
}
