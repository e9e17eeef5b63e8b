#include "FocusList.h"

#include <CEGUI/widgets/PushButton.h>
#include <CEGUI/widgets/Scrollbar.h>
#include <CEGUI/widgets/ToggleButton.h>

namespace {
// Every widget the focus marks draws its text in this property's colour.
const char* const TEXT_COLOUR = "NormalTextColour";
const char* const MARK_COLOUR = "FFFFD040";
}

void FocusList::add(CEGUI::Window* control, CEGUI::Window* marked)
{
    marked = marked ? marked : control;
    mEntries.push_back({control, marked});
}

CEGUI::Window* FocusList::current() const
{
    return mEntries.empty() ? nullptr : mEntries[mIndex].control;
}

void FocusList::mark(bool on)
{
    if (mEntries.empty())
        return;
    CEGUI::Window* marked = mEntries[mIndex].marked;
    if (on) {
        // Kept as the look left it, whatever its type (one colour, or one per corner).
        marked->setUserString("unmarked colour", marked->getProperty(TEXT_COLOUR));
        marked->setProperty(TEXT_COLOUR, MARK_COLOUR);
    } else if (marked->isUserStringDefined("unmarked colour")) {
        marked->setProperty(TEXT_COLOUR, marked->getUserString("unmarked colour"));
    }
}

void FocusList::step(int step)
{
    if (mEntries.empty())
        return;
    if (mShown) {
        mark(false);
        const int count = static_cast<int>(mEntries.size());
        mIndex = static_cast<std::size_t>(((static_cast<int>(mIndex) + step) % count + count) % count);
    }
    mShown = true;
    mark(true);
}

void FocusList::reset()
{
    if (mShown)
        mark(false);
    mShown = false;
    mIndex = 0;
}

void FocusList::press()
{
    // Where the focus is, is not known to the player before it shows: the first press shows it.
    if (!mShown) {
        step(0);
        return;
    }
    CEGUI::Window* control = current();
    if (!control)
        return;
    if (auto* button = dynamic_cast<CEGUI::PushButton*>(control)) {
        CEGUI::WindowEventArgs args(button);
        button->fireEvent(CEGUI::PushButton::EventClicked, args, CEGUI::PushButton::EventNamespace);
    } else if (auto* box = dynamic_cast<CEGUI::ToggleButton*>(control)) {
        box->setSelected(!box->isSelected());
    }
}

void FocusList::adjust(int step)
{
    auto* slider = mShown ? dynamic_cast<CEGUI::Scrollbar*>(current()) : nullptr;
    if (!slider)
        return;
    // The scroll bar keeps its position within its ends.
    slider->setScrollPosition(slider->getScrollPosition() + static_cast<float>(step) * slider->getStepSize());
}
