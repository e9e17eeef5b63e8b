// Helpers shared by the physics tests: line-buffer read-back, and the engine log's recorder.
#pragma once

#include "CollisionsDebugLines.h"
#include "LogRecorder.h"

#include <OgreHardwareVertexBuffer.h>

#include <string>
#include <vector>

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
