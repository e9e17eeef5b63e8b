// Motion state: the one bridge between a simulated body and its scene node.
#pragma once

#include <LinearMath/btMotionState.h>
#include <LinearMath/btTransform.h>

namespace Collisions {
class Object;

class ObjectState : public btMotionState
{
public:
    explicit ObjectState(Object* object);
    ~ObjectState() override;

    void getWorldTransform(btTransform& worldTrans) const override;
    void setWorldTransform(const btTransform& worldTrans) override;

private:
    Object* mObject;
    btTransform mLastTransform;
};
}
