// A GUI font that follows the window's size in steps, each step made once and kept.
#pragma once

#include <CEGUI/Font.h>
#include <CEGUI/Size.h>
#include <CEGUI/String.h>

// The GUI library rebuilds a scaled font at every display size it is told of, and its Ogre renderer
// never frees the pixels of the glyph pages it replaces: megabytes lost at each new window size.
// So the scaling is done here instead. The base font is switched to a fixed size and stands in for
// fonts of fixed sizes, one for each half octave of scale, named "<base>@<step>", made when first
// needed or ahead of it, and then only reused. Each costs up to some 12 MiB (a glyph page, its copy
// lost by the renderer, and the driver's), so the steps are coarse: the text is at most 19 % off the
// size the library's own scaling would give it, and always drawn at the size its glyphs were made at.
class SteppedFont
{
public:
    // Takes over the scaling of the loaded FreeType font `baseName`, with the mode and native
    // resolution it has now.
    explicit SteppedFont(const CEGUI::String& baseName);

    // The font to draw with at this display size.
    CEGUI::Font& fit(const CEGUI::Sizef& displaySize);

    // Makes the next step not made yet that a display from `smallest` to `largest` can need, with
    // its glyphs drawn; false once there is none. A step met for the first time late in a long
    // session would raise the memory then; made ahead, one a call, they all cost it early.
    bool makeAhead(const CEGUI::Sizef& smallest, const CEGUI::Sizef& largest);

    // Scale steps: a step is half an octave, and the steps are bounded, so that a window taken
    // through every size makes at most STEPS fonts.
    static const int STEPS_PER_OCTAVE = 2;
    static const int MIN_STEP = -4; // a quarter of the base size
    static const int MAX_STEP = 10; // 32 times the base size
    static const int STEPS = MAX_STEP - MIN_STEP + 1;
    static int step(float scale);
    static float stepScale(int step);

private:
    CEGUI::Font& font(int step);
    int stepFor(const CEGUI::Sizef& displaySize) const;

    CEGUI::String mBaseName;
    CEGUI::String mFileName;
    float mPointSize;
    bool mAntiAliased;
    CEGUI::AutoScaledMode mMode;
    CEGUI::Sizef mNativeResolution;
    int mNextAhead; // the lowest step makeAhead() may still have to make
};
