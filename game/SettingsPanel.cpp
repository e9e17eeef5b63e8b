#include "SettingsPanel.h"

#include "MenuLayout.h"

#include <CEGUI/WindowManager.h>
#include <CEGUI/widgets/PushButton.h>
#include <CEGUI/widgets/Scrollbar.h>
#include <CEGUI/widgets/ToggleButton.h>

#include <charconv>
#include <cmath>
#include <string>

namespace {
// A setting's row: a slider over whole counts of a unit (value = count × numerator / denominator, so
// that 13 hundredths is exactly the 0.13 the file would hold), or a box to tick.
struct Row
{
    int row;
    const char* name;
    const char* caption;
    // Sliders: the values they cover, the value of a count, and how the value reads.
    const SettingRange* range;
    int numerator, denominator, decimals;
    const char* unit;
    double Settings::*number;
    int Settings::*whole;
    bool Settings::*box;

    bool slider() const { return !box; }
    double value(int count) const { return static_cast<double>(count) * numerator / denominator; }
    int fewest() const { return static_cast<int>(std::ceil(range->low * denominator / numerator)); }
    int most() const { return static_cast<int>(std::floor(range->high * denominator / numerator)); }
    int count(double value) const
    {
        const int nearest = static_cast<int>(std::lround(value * denominator / numerator));
        return nearest < fewest() ? fewest() : nearest > most() ? most() : nearest;
    }
    double get(const Settings& settings) const
    {
        return number ? settings.*number : static_cast<double>(settings.*whole);
    }
    void set(Settings& settings, double value) const
    {
        if (number)
            settings.*number = value;
        else
            settings.*whole = static_cast<int>(std::lround(value));
    }
};

// clang-format off
const Row ROWS[] = {
    {MOUSE_SENSITIVITY_ROW, "MouseSensitivity", "Mouse sensitivity", &MOUSE_SENSITIVITY_RANGE, 1, 100, 2, " degrees a count",
     &Settings::mouseSensitivity, nullptr, nullptr},
    {PAD_LOOK_SPEED_ROW, "PadLookSpeed", "Pad look speed", &PAD_LOOK_SPEED_RANGE, 10, 1, 0, " degrees a second",
     &Settings::padLookSpeed, nullptr, nullptr},
    {INVERT_LOOK_ROW, "InvertLook", "Invert vertical look", nullptr, 0, 0, 0, "", nullptr, nullptr, &Settings::invertLook},
    {VOLUME_ROW, "Volume", "Volume", &VOLUME_RANGE, 5, 1, 0, " %", nullptr, &Settings::volume, nullptr},
    {RUMBLE_ROW, "Rumble", "Pad rumble", nullptr, 0, 0, 0, "", nullptr, nullptr, &Settings::rumble},
    {LANDING_MARKER_ROW, "LandingMarker", "Landing marker at start", nullptr, 0, 0, 0, "", nullptr, nullptr,
     &Settings::landingMarker},
    {STATISTICS_ROW, "Statistics", "Statistics overlay", nullptr, 0, 0, 0, "", nullptr, nullptr, &Settings::statistics},
    {FULL_SCREEN_ROW, "FullScreen", "Full screen", nullptr, 0, 0, 0, "", nullptr, nullptr, &Settings::fullScreen},
};
// clang-format on

void place(CEGUI::Window* window, const GuiBox& box)
{
    window->setArea(CEGUI::UDim(box.x, 0), CEGUI::UDim(box.y, 0), CEGUI::UDim(box.width, 0),
                    CEGUI::UDim(box.height, 0));
}

// Numbers as the panel shows them, whatever the C library's locale says of decimal points.
std::string caption(const Row& row, double value)
{
    char digits[32];
    const auto written = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, row.decimals);
    return std::string(row.caption) + ": " + std::string(digits, written.ptr) + row.unit;
}

CEGUI::Window* create(const char* type, const CEGUI::String& name, CEGUI::Window* parent, const GuiBox& box,
                      const CEGUI::String& font)
{
    CEGUI::Window* window = CEGUI::WindowManager::getSingleton().createWindow(type, name);
    parent->addChild(window);
    place(window, box);
    window->setFont(font);
    return window;
}
}

SettingsPanel::SettingsPanel(CEGUI::Window* parent, const CEGUI::String& font, Changed changed, Closing closing)
    : mChanged(std::move(changed)), mClosing(std::move(closing)), mShown(Settings::defaults())
{
    mPanel = create("TaharezLook/StaticImage", "SettingsPanel", parent, SETTINGS_PANEL_BOX, font);
    mPanel->setAlwaysOnTop(true);
    mPanel->hide();
    create("TaharezLook/Label", "Title", mPanel, {0, settingsRowY(TITLE_ROW), 1, 0.08f}, font)->setText("Settings");

    mCaptions.assign(SETTINGS_ROWS, nullptr);
    mControls.assign(SETTINGS_ROWS, nullptr);
    for (const Row& row : ROWS) {
        CEGUI::Window* text =
            create("TaharezLook/Label", CEGUI::String(row.name) + "Caption", mPanel, settingsCaptionBox(row.row), font);
        text->setProperty("HorzFormatting", "LeftAligned");
        text->setText(row.caption);
        CEGUI::Window* control;
        if (row.slider()) {
            // The look's slider is a vertical one only; its horizontal scroll bar serves: a position
            // per count, a page of one count, so that the thumb can reach every one.
            auto* slider = static_cast<CEGUI::Scrollbar*>(
                create("TaharezLook/HorizontalScrollbar", row.name, mPanel, settingsSliderBox(row.row), font));
            slider->setDocumentSize(static_cast<float>(row.most() - row.fewest() + 1));
            slider->setPageSize(1);
            slider->setStepSize(1);
            slider->subscribeEvent(CEGUI::Scrollbar::EventScrollPositionChanged,
                                   CEGUI::Event::Subscriber(&SettingsPanel::onChanged, this));
            control = slider;
        } else {
            control = create("TaharezLook/Checkbox", row.name, mPanel, settingsTickBox(row.row), font);
            control->subscribeEvent(CEGUI::ToggleButton::EventSelectStateChanged,
                                    CEGUI::Event::Subscriber(&SettingsPanel::onChanged, this));
        }
        mCaptions[row.row] = text;
        mControls[row.row] = control;
        mFocus.add(control, text);
    }
    CEGUI::Window* back = create("TaharezLook/Button", "Back", mPanel, SETTINGS_BACK_BOX, font);
    back->setText("Back");
    back->subscribeEvent(CEGUI::PushButton::EventClicked, CEGUI::Event::Subscriber(&SettingsPanel::onBack, this));
    mControls[BACK_ROW] = back;
    mFocus.add(back);
}

CEGUI::Window* SettingsPanel::control(int row) const
{
    return row >= 0 && row < SETTINGS_ROWS ? mControls[static_cast<std::size_t>(row)] : nullptr;
}

void SettingsPanel::open(const Settings& settings)
{
    show(settings);
    mFocus.reset();
    mPanel->show();
    mPanel->activate();
}

void SettingsPanel::close()
{
    mFocus.reset();
    mPanel->hide();
}

bool SettingsPanel::isOpen() const
{
    return mPanel->isVisible();
}

void SettingsPanel::show(const Settings& settings)
{
    mFilling = true;
    for (const Row& row : ROWS) {
        CEGUI::Window* control = mControls[row.row];
        if (row.slider()) {
            const int count = row.count(row.get(settings));
            static_cast<CEGUI::Scrollbar*>(control)->setScrollPosition(static_cast<float>(count - row.fewest()));
            // The value as it is, which a slider's count may only approximate (a hand-edited file).
            mCaptions[row.row]->setText(caption(row, row.get(settings)));
        } else {
            static_cast<CEGUI::ToggleButton*>(control)->setSelected(settings.*row.box);
        }
    }
    mShown = settings;
    mFilling = false;
}

bool SettingsPanel::onChanged(const CEGUI::EventArgs&)
{
    if (mFilling)
        return true;
    Settings settings = mShown;
    for (const Row& row : ROWS) {
        CEGUI::Window* control = mControls[row.row];
        if (!row.slider()) {
            settings.*row.box = static_cast<CEGUI::ToggleButton*>(control)->isSelected();
            continue;
        }
        const int count =
            row.fewest() + static_cast<int>(std::lround(static_cast<CEGUI::Scrollbar*>(control)->getScrollPosition()));
        // Only a slider the player moved takes its count's value.
        if (count != row.count(row.get(mShown))) {
            row.set(settings, row.value(count));
            mCaptions[row.row]->setText(caption(row, row.get(settings)));
        }
    }
    if (settings == mShown)
        return true;
    mShown = settings;
    mChanged(settings);
    return true;
}

bool SettingsPanel::onBack(const CEGUI::EventArgs&)
{
    mClosing();
    return true;
}
