// The named materials and the statistics overlay exist once the resources are initialised.
#include "RenderWindow.h"

#include <OgreBitwise.h>
#include <OgreMaterialManager.h>
#include <OgreOverlay.h>
#include <OgreOverlayContainer.h>
#include <OgreFont.h>
#include <OgreOverlayManager.h>
#include <OgreTechnique.h>
#include <OgreTextAreaOverlayElement.h>
#include <OgreTextureManager.h>

#include <gtest/gtest.h>

TEST(MaterialTest, EveryGameMaterialLoadsWithItsTextures)
{
    RenderWindow::instance();
    for (const char* name :
         {"Examples/BumpyMetal", "RustyBarrel", "Examples/GrassFloor", "WoodPallet", "Examples/Rockwall"}) {
        SCOPED_TRACE(name);
        Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(name);
        ASSERT_TRUE(material);
        material->load();
        ASSERT_TRUE(material->getBestTechnique());
        Ogre::Pass* pass = material->getBestTechnique()->getPass(0);
        ASSERT_GT(pass->getNumTextureUnitStates(), 0u);
        for (unsigned short i = 0; i < pass->getNumTextureUnitStates(); ++i) {
            const Ogre::TexturePtr& texture = pass->getTextureUnitState(i)->_getTexturePtr();
            ASSERT_TRUE(texture) << "unit " << i;
            EXPECT_TRUE(texture->isLoaded()) << texture->getName();
            EXPECT_TRUE(Ogre::Bitwise::isPO2(texture->getWidth()) && Ogre::Bitwise::isPO2(texture->getHeight()))
                << texture->getName();
        }
    }
}

TEST(MaterialTest, DebugOverlayHoldsTheSixTextAreasWithALoadableFont)
{
    RenderWindow::instance();
    Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
    Ogre::Overlay* overlay = overlays.getByName("Core/DebugOverlay");
    ASSERT_TRUE(overlay);
    for (const char* name :
         {"Core/CurrFps", "Core/BestFps", "Core/WorstFps", "Core/NumTris", "Core/NumBatches", "Core/DebugText"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(overlays.hasOverlayElement(name));
        Ogre::OverlayElement* element = overlays.getOverlayElement(name);
        EXPECT_EQ(element->getTypeName(), "TextArea");

        // Shown with the overlay: its top container belongs to it.
        Ogre::OverlayElement* top = element;
        while (top->getParent())
            top = top->getParent();
        EXPECT_EQ(overlay->getChild(top->getName()), top);

        auto* text = static_cast<Ogre::TextAreaOverlayElement*>(element);
        const Ogre::FontPtr& font = text->getFont();
        ASSERT_TRUE(font) << "no font";
        font->load();
        EXPECT_TRUE(font->isLoaded());
    }
}
