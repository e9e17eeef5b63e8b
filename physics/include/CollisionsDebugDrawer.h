// The physics library's debug-draw interface, drawing into a line set and logging its warnings.
#pragma once

#include "CollisionsDebugLines.h"

#include <LinearMath/btIDebugDraw.h>

namespace Collisions {
class DebugDrawer : public DebugLines, public btIDebugDraw
{
public:
    DebugDrawer();
    ~DebugDrawer() override;

    void drawLine(const btVector3& from, const btVector3& to, const btVector3& color) override;
    void drawContactPoint(const btVector3& pointOnB, const btVector3& normalOnB, btScalar distance, int lifeTime,
                          const btVector3& color) override;
    void reportErrorWarning(const char* warningString) override;
    void draw3dText(const btVector3& location, const char* textString) override;
    void setDebugMode(int mode) override;
    int getDebugMode() const override;
    void drawAabb(const btVector3& from, const btVector3& to, const btVector3& color) override;

    // One setter and one query per mode bit of the library.
    void enableWireframe(bool on) { setModeBit(DBG_DrawWireframe, on); }
    bool isWireframeEnabled() const { return hasModeBit(DBG_DrawWireframe); }
    void enableAabb(bool on) { setModeBit(DBG_DrawAabb, on); }
    bool isAabbEnabled() const { return hasModeBit(DBG_DrawAabb); }
    void enableFeaturesText(bool on) { setModeBit(DBG_DrawFeaturesText, on); }
    bool isFeaturesTextEnabled() const { return hasModeBit(DBG_DrawFeaturesText); }
    void enableContactPoints(bool on) { setModeBit(DBG_DrawContactPoints, on); }
    bool isContactPointsEnabled() const { return hasModeBit(DBG_DrawContactPoints); }
    void enableNoDeactivation(bool on) { setModeBit(DBG_NoDeactivation, on); }
    bool isNoDeactivationEnabled() const { return hasModeBit(DBG_NoDeactivation); }
    void enableNoHelpText(bool on) { setModeBit(DBG_NoHelpText, on); }
    bool isNoHelpTextEnabled() const { return hasModeBit(DBG_NoHelpText); }
    void enableText(bool on) { setModeBit(DBG_DrawText, on); }
    bool isTextEnabled() const { return hasModeBit(DBG_DrawText); }
    void enableProfileTimings(bool on) { setModeBit(DBG_ProfileTimings, on); }
    bool isProfileTimingsEnabled() const { return hasModeBit(DBG_ProfileTimings); }
    void enableSatComparison(bool on) { setModeBit(DBG_EnableSatComparison, on); }
    bool isSatComparisonEnabled() const { return hasModeBit(DBG_EnableSatComparison); }
    void enableDisableLCP(bool on) { setModeBit(DBG_DisableBulletLCP, on); }
    bool isDisableLCPEnabled() const { return hasModeBit(DBG_DisableBulletLCP); }
    void enableCCD(bool on) { setModeBit(DBG_EnableCCD, on); }
    bool isCCDEnabled() const { return hasModeBit(DBG_EnableCCD); }

private:
    void setModeBit(int bit, bool on);
    bool hasModeBit(int bit) const { return (mDrawModes & bit) != 0; }

    int mDrawModes;
};
}
