// Motion state: reads the node's derived transform, writes the simulated one to its local transform.
#include "CollisionsObjectState.h"

#include "CollisionsConversions.h"
#include "CollisionsObject.h"

#include <cassert>

namespace Collisions {
ObjectState::ObjectState(Object* object) : mObject(object)
{
    mLastTransform.setIdentity();
}

ObjectState::~ObjectState() = default;

void ObjectState::getWorldTransform(btTransform& worldTrans) const
{
    assert(mObject);
    worldTrans.setOrigin(toBullet(mObject->worldPosition()));
    worldTrans.setRotation(toBullet(mObject->worldOrientation()));
}

void ObjectState::setWorldTransform(const btTransform& worldTrans)
{
    assert(mObject);
    mObject->placeBodyNode(worldTrans);
    mLastTransform = worldTrans;
}
}
