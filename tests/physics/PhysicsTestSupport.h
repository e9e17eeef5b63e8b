// Helpers shared by the physics tests: engine log capture and line-buffer read-back.
#pragma once

#include "CollisionsDebugLines.h"

#include <OgreHardwareVertexBuffer.h>
#include <OgreLog.h>
#include <OgreLogManager.h>

#include <string>
#include <vector>

// Records every line written to the default engine log while it lives.
class LogCapture : public Ogre::LogListener
{
public:
    LogCapture() { Ogre::LogManager::getSingleton().getDefaultLog()->addListener(this); }
    ~LogCapture() override { Ogre::LogManager::getSingleton().getDefaultLog()->removeListener(this); }

    void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel level, bool, const Ogre::String&,
                       bool&) override
    {
        lines.push_back(message);
        levels.push_back(level);
    }

    std::vector<std::string> lines;
    std::vector<Ogre::LogMessageLevel> levels;
};

// Exposes the render operation that the renderer would draw.
inline Ogre::RenderOperation renderOperationOf(Collisions::DebugLines& lines)
{
    Ogre::RenderOperation op;
    lines.getRenderOperation(op);
    return op;
}

// The buffer bound as source 0, or null when none has been built.
inline Ogre::HardwareVertexBufferSharedPtr boundBuffer(Collisions::DebugLines& lines)
{
    const Ogre::VertexBufferBinding* binding = renderOperationOf(lines).vertexData->vertexBufferBinding;
    if (!binding->isBufferBound(0))
        return Ogre::HardwareVertexBufferSharedPtr();
    return binding->getBuffer(0);
}

// The floats written into the bound buffer, four per vertex.
inline std::vector<float> bufferContents(Collisions::DebugLines& lines)
{
    const Ogre::HardwareVertexBufferSharedPtr buffer = boundBuffer(lines);
    std::vector<float> values(buffer->getSizeInBytes() / sizeof(float));
    buffer->readData(0, buffer->getSizeInBytes(), values.data());
    return values;
}
