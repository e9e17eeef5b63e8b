// Writes the game's meshes, textures and desktop icons (pictures and a scalable one) without opening a display.
#include "BarrelIcon.h"
#include "MeshBuilder.h"
#include "Patterns.h"
#include "Shapes.h"
#include "Texture.h"

#include <OgreDefaultHardwareBufferManager.h>
#include <OgreException.h>
#include <OgreImage.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreRoot.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

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

// Writes <dir>/icons/<size>x<size>/barrels.png, the layout of the desktop's hicolor icon theme.
void writeIcon(const Ogre::String& dir, unsigned size)
{
    std::vector<std::uint32_t> argb(size_t(size) * size);
    for (unsigned y = 0; y < size; ++y)
        for (unsigned x = 0; x < size; ++x)
            argb[size_t(y) * size + x] = barrelIconPixel(int(x), int(y), int(size));

    // PF_A8R8G8B8 is 0xAARRGGBB in a native word; the PNG codec wants bytes in R, G, B, A order.
    Ogre::Image packed;
    packed.loadDynamicImage(reinterpret_cast<Ogre::uchar*>(argb.data()), size, size, Ogre::PF_A8R8G8B8);
    Ogre::Image bytes(Ogre::PF_BYTE_RGBA, size, size);
    Ogre::PixelUtil::bulkPixelConversion(packed.getPixelBox(), bytes.getPixelBox());

    const Ogre::String side = std::to_string(size);
    const std::filesystem::path folder = dir + "/icons/" + side + "x" + side;
    std::filesystem::create_directories(folder);
    bytes.save((folder / "barrels.png").string());
}

// Writes <dir>/icons/scalable/barrels.svg, the same drawing for any size.
void writeScalableIcon(const Ogre::String& dir)
{
    const std::filesystem::path folder = dir + "/icons/scalable";
    std::filesystem::create_directories(folder);
    std::ofstream file(folder / "barrels.svg", std::ios::binary);
    file << barrelIconSvg();
    if (!file.flush())
        throw std::runtime_error("cannot write " + (folder / "barrels.svg").string());
}
}

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::cerr << "usage: media_gen <output folder> <plug-in list with Codec_STBI> [icon size...]\n";
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

        writeScalableIcon(out);
        for (int i = 3; i < argc; ++i)
            writeIcon(out, static_cast<unsigned>(std::stoul(argv[i])));
    } catch (const Ogre::Exception& e) {
        std::cerr << "media_gen: " << e.getFullDescription() << '\n';
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "media_gen: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
