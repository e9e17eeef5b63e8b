// The desktop icons the build draws: the sizes the desktop asks for, transparent around the barrel,
// and the same picture as the window icon.
#include "BarrelIcon.h"
#include "RenderWindow.h"

#include <OgreColourValue.h>
#include <OgreDataStream.h>
#include <OgreImage.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

TEST(DesktopIcon, EachSizeIsTheBarrelOnATransparentGround)
{
    RenderWindow::instance(); // the engine's PNG codec
    for (int size : {48, 128, 256}) {
        SCOPED_TRACE(size);
        const std::string side = std::to_string(size);
        Ogre::Image icon;
        const std::string path = std::string(BARRELS_MEDIA_BUILD) + "/icons/" + side + "x" + side + "/barrels.png";
        std::ifstream* file = new std::ifstream(path, std::ios::binary);
        ASSERT_TRUE(file->good()) << path;
        icon.load(Ogre::DataStreamPtr(new Ogre::FileStreamDataStream(file)), "png");
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
