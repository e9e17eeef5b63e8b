// A focus for the keyboard and pads over GUI controls: one of them is marked, steps move the mark,
// and the marked one can be pressed (a button clicked, a box ticked) or adjusted (a slider moved
// by its step). The mouse uses the controls directly and never needs it, so the mark only shows
// once the player steps.
#pragma once

#include <cstddef>
#include <vector>

namespace CEGUI {
class Window;
}

class FocusList
{
public:
    // `marked` shows the mark (its text colour); the control itself when null.
    void add(CEGUI::Window* control, CEGUI::Window* marked = nullptr);

    // Shows the mark after moving it `step` controls on, round the ends; the first step only shows it.
    void step(int step);
    // Presses the marked control (only showing the mark if it was hidden), or adjusts it by `step`
    // slider steps (nothing while no mark shows).
    void press();
    void adjust(int step);
    // Back to no mark on the first control.
    void reset();

    bool shown() const { return mShown; }
    CEGUI::Window* current() const;

private:
    struct Entry
    {
        CEGUI::Window* control;
        CEGUI::Window* marked;
    };
    void mark(bool on);

    std::vector<Entry> mEntries;
    std::size_t mIndex = 0;
    bool mShown = false;
};
