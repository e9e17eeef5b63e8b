// The desktop icons the build draws: the sizes the desktop asks for, transparent around the barrel,
// the same picture as the window icon, and a scalable one that a desktop's renderer draws the same.
#include "BarrelIcon.h"
#include "RenderWindow.h"

#include <OgreColourValue.h>
#include <OgreDataStream.h>
#include <OgreImage.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {
const std::string kIcons = std::string(BARRELS_MEDIA_BUILD) + "/icons/";

void loadPng(const std::string& path, Ogre::Image& image)
{
    RenderWindow::instance(); // the engine's PNG codec
    std::ifstream* file = new std::ifstream(path, std::ios::binary);
    ASSERT_TRUE(file->good()) << path;
    image.load(Ogre::DataStreamPtr(new Ogre::FileStreamDataStream(file)), "png");
}
} // namespace

TEST(DesktopIcon, EachSizeIsTheBarrelOnATransparentGround)
{
    for (int size : {48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const std::string side = std::to_string(size);
        Ogre::Image icon;
        ASSERT_NO_FATAL_FAILURE(loadPng(kIcons + side + "x" + side + "/barrels.png", icon));
        ASSERT_EQ(unsigned(size), icon.getWidth());
        ASSERT_EQ(unsigned(size), icon.getHeight());
        ASSERT_TRUE(icon.getHasAlpha());

        const struct
        {
            int x, y;
        } spots[] = {{0, 0}, {size - 1, size - 1}, {size / 2, size / 2}, {size / 2, size / 4}, {size / 3, size / 2}};
        for (const auto& spot : spots) {
            const std::uint32_t drawn = barrelIconPixel(spot.x, spot.y, size);
            const Ogre::ColourValue saved = icon.getColourAt(spot.x, spot.y, 0);
            EXPECT_NEAR(((drawn >> 24) & 0xFF) / 255.0f, saved.a, 0.01f) << spot.x << "," << spot.y;
            EXPECT_NEAR(((drawn >> 16) & 0xFF) / 255.0f, saved.r, 0.01f) << spot.x << "," << spot.y;
            EXPECT_NEAR((drawn & 0xFF) / 255.0f, saved.b, 0.01f) << spot.x << "," << spot.y;
        }
        EXPECT_EQ(0.0f, icon.getColourAt(0, 0, 0).a);
        EXPECT_EQ(1.0f, icon.getColourAt(size / 2, size / 2, 0).a);
    }
}

TEST(DesktopIcon, NothingIsDrawnOutsideTheSquare)
{
    const struct
    {
        int x, y, size;
    } cases[] = {{-1, 10, 48}, {10, -1, 48}, {48, 10, 48}, {10, 48, 48}, {0, 0, 0}, {0, 0, -5}};
    for (const auto& c : cases)
        EXPECT_EQ(0u, barrelIconPixel(c.x, c.y, c.size)) << c.x << "," << c.y << " of " << c.size;
}

// librsvg, the renderer desktops draw SVG icons with, makes of the scalable icon what the pixel
// drawing makes: only the outline's smoothed edge may differ.
TEST(DesktopIcon, TheScalableIconDrawsTheSameBarrel)
{
    for (int size : {48, 256}) {
        SCOPED_TRACE(size);
        const std::string side = std::to_string(size);
        const std::string rendered = testing::TempDir() + "scalable-" + side + ".png";
        const std::string command =
            "rsvg-convert -w " + side + " -h " + side + " -o '" + rendered + "' '" + kIcons + "scalable/barrels.svg'";
        ASSERT_EQ(0, std::system(command.c_str())) << command;
        Ogre::Image drawn, scalable;
        ASSERT_NO_FATAL_FAILURE(loadPng(kIcons + side + "x" + side + "/barrels.png", drawn));
        ASSERT_NO_FATAL_FAILURE(loadPng(rendered, scalable));
        ASSERT_EQ(drawn.getWidth(), scalable.getWidth());
        ASSERT_EQ(drawn.getHeight(), scalable.getHeight());

        int differing = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const Ogre::ColourValue a = drawn.getColourAt(x, y, 0), b = scalable.getColourAt(x, y, 0);
                if (std::fabs(a.a - b.a) > 0.05f ||
                    (a.a > 0.5f &&
                     (std::fabs(a.r - b.r) > 0.05f || std::fabs(a.g - b.g) > 0.05f || std::fabs(a.b - b.b) > 0.05f)))
                    ++differing;
            }
        EXPECT_LT(differing, size * size * 3 / 100) << rendered;
        std::remove(rendered.c_str());
    }
}
