#pragma once

#include <string>
#include <string_view>

/// The form as both front ends lay it out: the client area, every control's
/// rectangle and the scroll bars' settings. Rectangles are in logical pixels
/// from the client area's top-left corner.
namespace form {

/// Twips per logical pixel, the unit of the picture's positions.
inline constexpr int TwipsPerPixel = 15;

struct Size {
    int width;
    int height;
};

struct Rect {
    int left;
    int top;
    int width;
    int height;
};

/// A scroll bar: its rectangle, its range and starting value, the small
/// change of an arrow or an arrow key and the large change of the track or
/// Page Up and Page Down.
struct ScrollBar {
    Rect rect;
    int min;
    int max;
    int value;
    int smallChange;
    int largeChange;
};

inline constexpr Size Client{682, 559};
/// The picture area.
inline constexpr Rect Picture1{0, 0, 681, 505};
/// "Exit".
inline constexpr Rect Command2{600, 512, 73, 41};
/// The mass slider: the mass of the top-left mass.
inline constexpr ScrollBar HScroll1{{8, 512, 505, 17}, 1, 80, 1, 2, 5};
/// The cutting radius in twips.
inline constexpr ScrollBar HScroll2{{8, 536, 505, 17}, 100, 3000, 400, 1, 1};
/// "New Simulation".
inline constexpr Rect Command1{520, 512, 73, 41};

/// A control of the form by its name: its rectangle, and its settings where
/// it is a scroll bar.
struct Control {
    std::string_view name;
    Rect rect;
    const ScrollBar* bar = nullptr;
};

/// Every control, in the order Tab moves through them.
inline constexpr Control Controls[] = {
    {"Picture1", Picture1},
    {"Command2", Command2},
    {"HScroll1", HScroll1.rect, &HScroll1},
    {"HScroll2", HScroll2.rect, &HScroll2},
    {"Command1", Command1},
};

/// The form and the texts, by name, as JSON: the twips a pixel, the client
/// area, the controls' names in tab order ("Controls"), each control's
/// rectangle and a scroll bar's settings under its name, and every text a
/// front end shows ("Texts").
std::string describe();

} // namespace form
