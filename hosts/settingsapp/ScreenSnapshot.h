#pragma once

// What the Settings app shows at a moment, read off its controllers and
// views: the navigation bar, every section and row of the screen's table,
// an alert and a presented sheet, each with its frame on the screen (in
// points, after scrolling). The headless app prints it; the picture is the
// window's views drawn.

#include <optional>
#include <string>
#include <vector>

#include <uikit/UIColor.h>
#include <uikit/UIFont.h>
#include <uikit/UITableView.h>

class SettingsApp;

struct ImageSnapshot {
    std::string name; // the file name it was read from; "(drawn)" for another picture
    bool isTemplate { false };
    RefPtr<UIImage> image;
};

struct AccessorySnapshot {
    enum class Kind { None, Switch, Swatch, Label, Segments, Checkmark, Disclosure, View };
    Kind kind { Kind::None };
    bool isOn { false };
    RefPtr<UIColor> color; // switch on-tint, swatch fill (none: no fill)
    std::string text; // label text
    std::vector<std::string> segments;
    long selectedSegment { -1 };
    CGFloat width { 0 };
    CGRect frame; // on the screen; empty for what no view draws
};

struct RowSnapshot {
    std::string text;
    RefPtr<UIFont> font; // the text label's own font, if it has one
    std::optional<ImageSnapshot> image;
    AccessorySnapshot accessory;
    CGFloat alpha { 1 };
    bool takesTouches { true };
    bool isHighlighted { false };
    CGFloat height { 44 };
    CGRect frame;
    // Within the row, as laid out: the text label, the image (none when
    // hidden) and where the separator under the row starts.
    CGRect textFrame;
    std::optional<CGRect> imageFrame;
    CGFloat separatorInset { 0 };
};

struct SectionSnapshot {
    std::optional<std::string> header;
    std::optional<std::string> footer;
    NSTextAlignment headerAlignment { NSTextAlignment::Natural };
    NSTextAlignment footerAlignment { NSTextAlignment::Natural };
    std::optional<AccessorySnapshot> headerControl; // a segmented control heading the section
    std::vector<RowSnapshot> rows;
};

struct BarButtonSnapshot {
    std::string title;
    std::string accessibilityLabel; // empty: none set
    std::optional<ImageSnapshot> image;
    std::optional<AccessorySnapshot> customView;
    RefPtr<UIColor> tint;
    CGRect frame;
};

struct AlertSnapshot {
    std::string title;
    std::string message;
    std::vector<std::string> buttons;
    std::vector<CGRect> buttonFrames;
    long cancelButtonIndex { -1 };
    long tag { 0 };
};

struct SheetSnapshot {
    std::string kind; // the presented controller's class
    std::vector<std::pair<std::string, std::string>> fields;
    std::optional<BarButtonSnapshot> leftBarButton;
    std::optional<BarButtonSnapshot> rightBarButton;
};

struct ScreenSnapshot {
    std::string controllerClass;
    std::size_t depth { 0 }; // screens under this one
    std::string title;
    std::optional<ImageSnapshot> titleImage;
    RefPtr<UIColor> barTint; // the tint of the bar the screen is shown under
    RefPtr<UIColor> viewTint; // the tint of the screen's view
    std::optional<BarButtonSnapshot> leftBarButton;
    std::optional<BarButtonSnapshot> rightBarButton;
    std::optional<BarButtonSnapshot> backButton; // its title is the previous screen's
    CGPoint contentOffset; // how far the table is scrolled
    CGSize contentSize;
    std::vector<SectionSnapshot> sections;
    std::optional<AlertSnapshot> alert;
    std::optional<SheetSnapshot> sheet;
    // Every address the app was asked to open, with the app that took it
    // (empty: none), and every mail it sent, oldest first.
    std::vector<std::pair<std::string, std::string>> openedURLs;
    std::vector<std::string> sentMail;

    static ScreenSnapshot capture(const SettingsApp&);
};

// "#RRGGBB" (with "AA" when not opaque), or "none".
std::string colorText(const UIColor*);
const char* alignmentName(NSTextAlignment);

// The screen as the device shows it, at the screen's scale, as a PNG.
bool writeScreenPicture(const SettingsApp&, const std::string& hostPath);
