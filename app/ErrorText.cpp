#include "ErrorText.h"

#include <OgreException.h>

std::string fullDescription(const Ogre::Exception& e)
{
    if (!e.getFullDescription().empty())
        return e.getFullDescription();
    std::string text = e.getDescription() + " in " + e.getSource();
    if (e.getFile() && e.getLine() > 0)
        text += std::string(" at ") + e.getFile() + " (line " + std::to_string(e.getLine()) + ")";
    return text;
}
