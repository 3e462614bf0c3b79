#pragma once

// The 24 flat colours, the one table everything about them comes from: the
// FlatColor enumerators, the 48 accessors (flatRedColor, flatRedColorDark,
// ...), the palette's entries in order, their names, the settings screens'
// labels and the nearest-colour search. One line a colour, base names in
// alphabetical order: X(Enumerator, "Label", light hue, saturation,
// brightness, dark hue, saturation, brightness), hues in whole degrees,
// the others in whole percents.

// clang-format off
#define TINCTURE_FLAT_COLORS(X) \
    X(Black, "Black", 0, 0, 17, 0, 0, 15) \
    X(Blue, "Blue", 224, 50, 63, 224, 56, 51) \
    X(Brown, "Brown", 24, 45, 37, 25, 45, 31) \
    X(Coffee, "Coffee", 25, 31, 64, 25, 34, 56) \
    X(ForestGreen, "Forest Green", 138, 45, 37, 135, 44, 31) \
    X(Gray, "Gray", 184, 10, 65, 184, 10, 55) \
    X(Green, "Green", 145, 77, 80, 145, 78, 68) \
    X(Lime, "Lime", 74, 70, 78, 74, 81, 69) \
    X(Magenta, "Magenta", 283, 51, 71, 282, 61, 68) \
    X(Maroon, "Maroon", 5, 65, 47, 4, 68, 40) \
    X(Mint, "Mint", 168, 86, 74, 168, 86, 63) \
    X(NavyBlue, "Navy Blue", 210, 45, 37, 210, 45, 31) \
    X(Orange, "Orange", 28, 85, 90, 24, 100, 83) \
    X(Pink, "Pink", 324, 49, 96, 327, 57, 83) \
    X(Plum, "Plum", 300, 45, 37, 300, 46, 31) \
    X(PowderBlue, "Powder Blue", 222, 24, 95, 222, 28, 84) \
    X(Purple, "Purple", 253, 52, 77, 253, 56, 64) \
    X(Red, "Red", 6, 74, 91, 6, 78, 75) \
    X(Sand, "Sand", 42, 25, 94, 42, 30, 84) \
    X(SkyBlue, "Sky Blue", 204, 76, 86, 204, 78, 73) \
    X(Teal, "Teal", 195, 55, 51, 196, 54, 45) \
    X(Watermelon, "Watermelon", 356, 53, 94, 358, 61, 85) \
    X(White, "White", 192, 2, 95, 204, 5, 78) \
    X(Yellow, "Yellow", 48, 99, 100, 40, 100, 100)
// clang-format on
