#include "SteppedFont.h"

#include <CEGUI/FontManager.h>
#include <CEGUI/PropertyHelper.h>

#include <algorithm>
#include <cmath>

namespace {
// The factor the library itself would scale by, in its auto-scaling modes; a font scaled on both
// axes apart (ASM_Both) is stood in for by the vertical factor.
float scaleFor(CEGUI::AutoScaledMode mode, const CEGUI::Sizef& display, const CEGUI::Sizef& native)
{
    const float horizontal = display.d_width / native.d_width;
    const float vertical = display.d_height / native.d_height;
    switch (mode) {
    case CEGUI::ASM_Disabled:
        return 1;
    case CEGUI::ASM_Horizontal:
        return horizontal;
    case CEGUI::ASM_Min:
        return std::min(horizontal, vertical);
    case CEGUI::ASM_Max:
        return std::max(horizontal, vertical);
    default:
        return vertical;
    }
}
}

SteppedFont::SteppedFont(const CEGUI::String& baseName) : mBaseName(baseName), mNextAhead(MIN_STEP)
{
    CEGUI::Font& base = CEGUI::FontManager::getSingleton().get(baseName);
    // Read as properties: the FreeType font's own header needs FreeType's headers too.
    mFileName = base.getFileName();
    mPointSize = CEGUI::PropertyHelper<float>::fromString(base.getProperty("PointSize"));
    mAntiAliased = CEGUI::PropertyHelper<bool>::fromString(base.getProperty("Antialiased"));
    mMode = base.getAutoScaled();
    mNativeResolution = base.getNativeResolution();
    // Left scaling, the base font would be rebuilt at every display size, although nothing draws with it.
    base.setAutoScaled(CEGUI::ASM_Disabled);
}

CEGUI::Font& SteppedFont::fit(const CEGUI::Sizef& displaySize)
{
    return font(stepFor(displaySize));
}

bool SteppedFont::makeAhead(const CEGUI::Sizef& smallest, const CEGUI::Sizef& largest)
{
    mNextAhead = std::max(mNextAhead, stepFor(smallest));
    if (mNextAhead > stepFor(largest))
        return false;
    // The library draws a font's glyphs a page of 256 code points at a time, when one is first
    // asked for: this page holds every character the game shows.
    font(mNextAhead++).getGlyphData('0');
    return true;
}

CEGUI::Font& SteppedFont::font(int step)
{
    const CEGUI::String name = mBaseName + "@" + CEGUI::PropertyHelper<int>::toString(step);
    CEGUI::FontManager& fonts = CEGUI::FontManager::getSingleton();
    if (fonts.isDefined(name))
        return fonts.get(name);
    return fonts.createFreeTypeFont(name, mPointSize * stepScale(step), mAntiAliased, mFileName, "",
                                    CEGUI::ASM_Disabled, mNativeResolution);
}

int SteppedFont::stepFor(const CEGUI::Sizef& displaySize) const
{
    return step(scaleFor(mMode, displaySize, mNativeResolution));
}

int SteppedFont::step(float scale)
{
    if (!(scale > 0))
        return MIN_STEP;
    const long nearest = std::lround(std::log2(scale) * STEPS_PER_OCTAVE);
    return static_cast<int>(std::clamp<long>(nearest, MIN_STEP, MAX_STEP));
}

float SteppedFont::stepScale(int step)
{
    return std::exp2(static_cast<float>(step) / STEPS_PER_OCTAVE);
}
