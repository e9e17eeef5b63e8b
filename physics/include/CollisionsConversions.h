// Engine <-> physics-library value conversions; the quaternion component order differs.
#pragma once

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <LinearMath/btQuaternion.h>
#include <LinearMath/btVector3.h>

namespace Collisions {
inline btVector3 toBullet(const Ogre::Vector3& v)
{
    return btVector3(v.x, v.y, v.z);
}
inline btQuaternion toBullet(const Ogre::Quaternion& q)
{
    return btQuaternion(q.x, q.y, q.z, q.w);
}
inline Ogre::Vector3 toOgre(const btVector3& v)
{
    return Ogre::Vector3(v.x(), v.y(), v.z());
}
inline Ogre::Quaternion toOgre(const btQuaternion& q)
{
    return Ogre::Quaternion(q.w(), q.x(), q.y(), q.z());
}
}
