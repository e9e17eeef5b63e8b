#include "SceneSnapshot.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreLight.h>
#include <OgreMaterialManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreMeshSerializer.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>

#include <fstream>
#include <stdexcept>

namespace {
const char* const ITEM_NODE = "SnapshotItems";

std::ostream& operator<<(std::ostream& out, const SceneSnapshot::Pose& pose)
{
    const Ogre::Quaternion& q = pose.orientation;
    return out << pose.position.x << ' ' << pose.position.y << ' ' << pose.position.z << ' ' << q.w << ' ' << q.x << ' '
               << q.y << ' ' << q.z << ' ' << pose.scale.x << ' ' << pose.scale.y << ' ' << pose.scale.z;
}

std::istream& operator>>(std::istream& in, SceneSnapshot::Pose& pose)
{
    Ogre::Quaternion& q = pose.orientation;
    return in >> pose.position.x >> pose.position.y >> pose.position.z >> q.w >> q.x >> q.y >> q.z >> pose.scale.x >>
           pose.scale.y >> pose.scale.z;
}

// The engine's own stream operator writes a form it cannot read back.
struct Colour
{
    Ogre::ColourValue& value;
};

std::ostream& operator<<(std::ostream& out, const Ogre::ColourValue* c)
{
    return out << c->r << ' ' << c->g << ' ' << c->b << ' ' << c->a;
}

std::istream& operator>>(std::istream& in, Colour c)
{
    return in >> c.value.r >> c.value.g >> c.value.b >> c.value.a;
}

SceneSnapshot::Pose derivedPose(const Ogre::Node* node)
{
    return {node->_getDerivedPosition(), node->_getDerivedOrientation(), node->_getDerivedScale()};
}
}

SceneSnapshot SceneSnapshot::take(Ogre::SceneManager* scene, Ogre::Camera* camera)
{
    SceneSnapshot shot;
    shot.camera = {camera->getDerivedPosition(), camera->getDerivedOrientation(), Ogre::Vector3::UNIT_SCALE};
    shot.nearClip = camera->getNearClipDistance();
    shot.fovYRadians = camera->getFOVy().valueRadians();
    shot.ambient = scene->getAmbientLight();
    shot.background = camera->getViewport() ? camera->getViewport()->getBackgroundColour() : Ogre::ColourValue::Black;
    for (const auto& entry : scene->getMovableObjects(Ogre::LightFactory::FACTORY_TYPE_NAME)) {
        const Ogre::Light* light = static_cast<const Ogre::Light*>(entry.second);
        shot.lights.push_back({int(light->getType()), light->getDerivedPosition(), light->getDiffuseColour(),
                               light->getSpecularColour()});
    }
    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    for (Ogre::FilterType type : {Ogre::FT_MIN, Ogre::FT_MAG, Ogre::FT_MIP})
        shot.filtering[type] = int(materials.getDefaultTextureFiltering(type));
    shot.anisotropy = materials.getDefaultAnisotropy();
    shot.mipmaps = int(Ogre::TextureManager::getSingleton().getDefaultNumMipmaps());
    for (const auto& entry : scene->getMovableObjects(Ogre::EntityFactory::FACTORY_TYPE_NAME)) {
        const Ogre::Entity* entity = static_cast<const Ogre::Entity*>(entry.second);
        if (!entity->isVisible() || !entity->getParentSceneNode())
            continue;
        Item item{entity->getMesh()->getName(), {}, derivedPose(entity->getParentSceneNode())};
        for (std::size_t i = 0; i < entity->getNumSubEntities(); ++i)
            item.materials.push_back(entity->getSubEntity(i)->getMaterialName());
        shot.items.push_back(item);
    }
    return shot;
}

void SceneSnapshot::save(const std::string& file, const std::string& meshFolder) const
{
    std::ofstream out(file);
    out.precision(9);
    out << "camera " << camera << ' ' << nearClip << ' ' << fovYRadians << '\n';
    out << "ambient " << &ambient << "\nbackground " << &background << '\n';
    out << "textures " << filtering[0] << ' ' << filtering[1] << ' ' << filtering[2] << ' ' << anisotropy << ' '
        << mipmaps << '\n';
    for (const Light& light : lights)
        out << "light " << light.type << ' ' << light.position.x << ' ' << light.position.y << ' ' << light.position.z
            << ' ' << &light.diffuse << ' ' << &light.specular << '\n';
    Ogre::MeshSerializer serializer;
    for (const Item& item : items) {
        // A mesh made in code goes out as a file the bare program loads under the name written here.
        std::string mesh = item.mesh;
        Ogre::MeshPtr made = Ogre::MeshManager::getSingleton().getByName(item.mesh);
        if (made && made->isManuallyLoaded()) {
            mesh += ".mesh";
            serializer.exportMesh(made.get(), meshFolder + "/" + mesh);
        }
        out << "item " << mesh << ' ' << item.pose << ' ' << item.materials.size();
        for (const std::string& material : item.materials)
            out << ' ' << material;
        out << '\n';
    }
    if (!out)
        throw std::runtime_error("cannot write " + file);
}

SceneSnapshot SceneSnapshot::load(const std::string& file)
{
    std::ifstream in(file);
    if (!in)
        throw std::runtime_error("no scene snapshot at " + file + ": run the game side first");
    SceneSnapshot shot;
    std::string kind;
    while (in >> kind) {
        if (kind == "camera") {
            in >> shot.camera >> shot.nearClip >> shot.fovYRadians;
        } else if (kind == "ambient") {
            in >> Colour{shot.ambient};
        } else if (kind == "background") {
            in >> Colour{shot.background};
        } else if (kind == "textures") {
            in >> shot.filtering[0] >> shot.filtering[1] >> shot.filtering[2] >> shot.anisotropy >> shot.mipmaps;
        } else if (kind == "light") {
            Light light;
            in >> light.type >> light.position.x >> light.position.y >> light.position.z >> Colour{light.diffuse} >>
                Colour{light.specular};
            shot.lights.push_back(light);
        } else if (kind == "item") {
            Item item;
            std::size_t count = 0;
            in >> item.mesh >> item.pose >> count;
            item.materials.resize(count);
            for (std::string& material : item.materials)
                in >> material;
            shot.items.push_back(item);
        } else {
            throw std::runtime_error(file + ": unknown line '" + kind + "'");
        }
    }
    return shot;
}

void SceneSnapshot::applyDefaults() const
{
    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    materials.setDefaultTextureFiltering(Ogre::FilterOptions(filtering[0]), Ogre::FilterOptions(filtering[1]),
                                         Ogre::FilterOptions(filtering[2]));
    materials.setDefaultAnisotropy(anisotropy);
    Ogre::TextureManager::getSingleton().setDefaultNumMipmaps(mipmaps);
}

void SceneSnapshot::placeCamera(Ogre::Camera* cam) const
{
    Ogre::SceneNode* node = cam->getParentSceneNode();
    node->setPosition(camera.position);
    node->setOrientation(camera.orientation);
    cam->setNearClipDistance(nearClip);
    cam->setFOVy(Ogre::Radian(fovYRadians));
}

void SceneSnapshot::applyLights(Ogre::SceneManager* scene) const
{
    scene->setAmbientLight(ambient);
    for (const Light& shown : lights) {
        Ogre::Light* light = scene->createLight();
        light->setType(Ogre::Light::LightTypes(shown.type));
        light->setDiffuseColour(shown.diffuse);
        light->setSpecularColour(shown.specular);
        scene->getRootSceneNode()->createChildSceneNode(shown.position)->attachObject(light);
    }
}

void SceneSnapshot::buildItems(Ogre::SceneManager* scene) const
{
    Ogre::SceneNode* root = scene->getRootSceneNode();
    if (scene->hasSceneNode(ITEM_NODE)) {
        Ogre::SceneNode* old = scene->getSceneNode(ITEM_NODE);
        old->removeAndDestroyAllChildren();
        scene->destroySceneNode(old);
        scene->destroyAllEntities();
    }
    Ogre::SceneNode* parent = root->createChildSceneNode(ITEM_NODE);
    const Ogre::String& group = Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME;
    for (const Item& item : items) {
        Ogre::Entity* entity = scene->createEntity(item.mesh);
        for (std::size_t i = 0; i < item.materials.size() && i < entity->getNumSubEntities(); ++i)
            entity->getSubEntity(i)->setMaterialName(item.materials[i], group);
        Ogre::SceneNode* node = parent->createChildSceneNode(item.pose.position, item.pose.orientation);
        node->setScale(item.pose.scale);
        node->attachObject(entity);
    }
}
