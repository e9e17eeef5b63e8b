// The GUI media: our scheme and fonts load and the game's widget types draw.
#include "RenderWindow.h"

#include <CEGUI/CEGUI.h>
#include <CEGUI/RendererModules/Ogre/Renderer.h>
#include <OgreColourValue.h>
#include <OgreRenderWindow.h>

#include <gtest/gtest.h>

namespace {
// Starts the GUI on the fixture's window with the resource groups the game uses.
// The GUI can be started once per process; each test case runs in its own.
void startGui()
{
    RenderWindow& fixture = RenderWindow::instance();
    new CEGUI::DefaultLogger();
    CEGUI::Logger::getSingleton().setLogFilename("GuiMediaTest.log");
    CEGUI::Exception::setStdErrEnabled(false);
    CEGUI::OgreRenderer::bootstrapSystem(*fixture.window());
    CEGUI::Scheme::setDefaultResourceGroup("schemes");
    CEGUI::ImageManager::setImagesetDefaultResourceGroup("imagesets");
    CEGUI::Font::setDefaultResourceGroup("fonts");
    CEGUI::WidgetLookManager::setDefaultResourceGroup("looknfeels");
    CEGUI::WindowManager::setDefaultResourceGroup("layouts");
}

void stopGui()
{
    CEGUI::OgreRenderer::destroySystem();
}

int countLitPixels(const Ogre::Image& image)
{
    int lit = 0;
    for (size_t y = 0; y < image.getHeight(); ++y)
        for (size_t x = 0; x < image.getWidth(); ++x) {
            const Ogre::ColourValue c = image.getColourAt(x, y, 0);
            lit += c.r + c.g + c.b > 0.1f;
        }
    return lit;
}
}

TEST(GuiMediaTest, SchemeProvidesTheFontsCursorAndEveryWidgetTheGameCreates)
{
    startGui();
    CEGUI::SchemeManager::getSingleton().createFromFile("TaharezLook.scheme");
    CEGUI::FontManager& fonts = CEGUI::FontManager::getSingleton();
    // The scheme itself must bring the default font: the game sets it before loading fonts.
    EXPECT_TRUE(fonts.isDefined("DejaVuSans-10"));
    EXPECT_EQ(fonts.createFromFile("DejaVuSans-10.font").getName(), "DejaVuSans-10");
    EXPECT_EQ(fonts.createFromFile("fkp-16.font").getName(), "fkp-16");
    EXPECT_TRUE(CEGUI::ImageManager::getSingleton().isDefined("TaharezLook/MouseArrow"));

    CEGUI::GUIContext& gui = CEGUI::System::getSingleton().getDefaultGUIContext();
    gui.setDefaultFont("DejaVuSans-10");
    gui.getMouseCursor().setDefaultImage("TaharezLook/MouseArrow");
    CEGUI::WindowManager& windows = CEGUI::WindowManager::getSingleton();
    CEGUI::Window* root = windows.createWindow("DefaultWindow", "root");
    gui.setRootWindow(root);
    int made = 0;
    for (const char* type : {"TaharezLook/StaticImage", "TaharezLook/Button", "TaharezLook/ProgressBar",
                             "TaharezLook/Editbox", "TaharezLook/MultiLineEditbox", "TaharezLook/Tooltip"}) {
        SCOPED_TRACE(type);
        CEGUI::Window* window = nullptr;
        EXPECT_NO_THROW(window = windows.createWindow(type));
        if (!window)
            continue;
        window->setPosition(CEGUI::UVector2(CEGUI::UDim(0.02f + 0.16f * made++, 0), CEGUI::UDim(0.3f, 0)));
        window->setSize(CEGUI::USize(CEGUI::UDim(0.15f, 0), CEGUI::UDim(0.3f, 0)));
        window->setText("Text");
        root->addChild(window);
    }
    root->getChildAtIdx(3)->setFont("fkp-16");

    // Nothing else is in the scene: whatever is lit was drawn by the GUI from its imageset.
    RenderWindow& fixture = RenderWindow::instance();
    fixture.renderTo("gui_preview.png");
    EXPECT_GT(countLitPixels(fixture.capture()), 800 * 600 / 20);
    stopGui();
}
