// Writes the game's meshes and textures without opening a display.
#include "MeshBuilder.h"
#include "Patterns.h"
#include "Shapes.h"
#include "Texture.h"

#include <OgreDefaultHardwareBufferManager.h>
#include <OgreException.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreRoot.h>

#include <iostream>
#include <memory>

namespace {
void writeTexture(const Ogre::String& path, unsigned size, void (*paint)(Texture&))
{
    Texture texture(size, size);
    paint(texture);
    texture.save(path);
}

template <typename Build>
void writeMesh(const Ogre::String& dir, const Ogre::String& name, Build build)
{
    MeshBuilder mesh;
    build(mesh);
    mesh.write(name, dir + "/" + name);
}
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: media_gen <output folder> <plug-in list with Codec_STBI>\n";
        return 2;
    }
    const Ogre::String out = argv[1];
    try {
        // Our own log keeps the engine's chatter off the build output.
        Ogre::LogManager logs;
        logs.createLog(out + "/media_gen.log", true, false, false);
        Ogre::Root root(argv[2], "", "");
        Ogre::DefaultHardwareBufferManager buffers;
        Ogre::MaterialManager::getSingleton().initialise(); // brings BaseWhite

        writeMesh(out, "sphere.mesh", [](MeshBuilder& m) { buildSphere(m, 100, 32, 16); });
        writeMesh(out, "Barrel.mesh", [](MeshBuilder& m) { buildBarrel(m, 2.5f, 8, 32); });
        writeMesh(out, "cube.mesh", [](MeshBuilder& m) { buildCube(m, 100); });

        writeTexture(out + "/rust.png", 256, paintRust);
        writeTexture(out + "/grass.png", 256, paintGrass);
        writeTexture(out + "/wood_planks.png", 256, paintWoodPlanks);
        writeTexture(out + "/rock_wall.png", 256, paintRockWall);
        writeTexture(out + "/brushed_metal.png", 256, paintBrushedMetal);
        writeTexture(out + "/metal_reflection.png", 256, paintReflection);
    } catch (const Ogre::Exception& e) {
        std::cerr << "media_gen: " << e.getFullDescription() << '\n';
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "media_gen: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
