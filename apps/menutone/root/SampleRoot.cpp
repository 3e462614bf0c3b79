#include "SampleRoot.h"

#include <cairo.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <functional>

#include <device/DeviceRoot.h>
#include <device/FileSystem.h>
#include <device/InstallLayout.h>
#include <foundation/NSDictionary.h>
#include <foundation/PropertyListSerialization.h>
#include <preferences/PreferenceLoader.h>

#include "StockAppIcons.h"

namespace fs = std::filesystem;

namespace {

using Drawing = std::function<void(cairo_t*)>;

// Writes into the root without following a link that leads out of it: each
// file and folder is opened beneath the root at use, and a refusal names the link.
class RootLayout {
public:
    explicit RootLayout(const fs::path& folder)
        : m_root(folder)
    {
    }

    bool folder(const std::string& devicePath) { return isInside(devicePath) && (m_root.createFolders(devicePath) || fail("cannot create " + devicePath)); }

    bool file(const std::string& devicePath, std::span<const std::uint8_t> bytes)
    {
        return isInside(devicePath) && (m_root.writeFile(devicePath, bytes, device::WriteMode::Atomic) || fail("cannot write " + devicePath));
    }

    bool propertyList(const std::string& devicePath, const NSDictionary& dictionary)
    {
        auto data = PropertyListSerialization::dataWithPropertyList(dictionary.propertyList(), PropertyListFormat::XML);
        return data && file(devicePath, *data);
    }

    bool copy(const fs::path& source, const std::string& devicePath)
    {
        auto bytes = device::readFile(source);
        if (!bytes)
            return fail("cannot read " + source.string());
        return file(devicePath, *bytes);
    }

    // Replaces the folder at devicePath with a copy of the source folder.
    bool copyTree(const fs::path& source, const std::string& devicePath)
    {
        if (!isInside(devicePath))
            return false;
        if (m_root.fileExists(devicePath) && !m_root.removeItem(devicePath))
            return fail("cannot replace " + devicePath);
        if (!folder(devicePath))
            return false;
        std::error_code error;
        for (auto it = fs::recursive_directory_iterator(source, error); !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            std::string target = devicePath + "/" + fs::relative(it->path(), source).generic_string();
            bool isCopied = it->is_directory() ? folder(target) : copy(it->path(), target);
            if (!isCopied)
                return false;
        }
        return !error || fail("cannot list " + source.string() + ": " + error.message());
    }

    const std::string& error() const { return m_error; }

private:
    bool isInside(const std::string& devicePath)
    {
        if (auto link = m_root.linkLeavingRoot(devicePath))
            return fail(m_root.hostFolder().string() + *link + " is a link that leads out of the root; not following it");
        return true;
    }

    bool fail(const std::string& message)
    {
        if (m_error.empty())
            m_error = message + (errno && message.starts_with("cannot") ? std::string(": ") + std::strerror(errno) : std::string());
        return false;
    }

    DeviceRoot m_root;
    std::string m_error;
};

// Icons are drawn here at 2x: item glyphs black on transparent, for the host
// to tint, in a 28-point square; app icons in a 60-point one.
bool writeIcon(RootLayout& layout, const std::string& devicePath, double size, const Drawing& draw)
{
    int pixels = static_cast<int>(size * 2);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixels, pixels);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, pixels / size, pixels / size);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 2.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    draw(cr);
    cairo_destroy(cr);
    std::vector<std::uint8_t> png;
    bool isEncoded
        = cairo_surface_write_to_png_stream(
              surface,
              [](void* closure, const unsigned char* data, unsigned int length) {
                  static_cast<std::vector<std::uint8_t>*>(closure)->insert(static_cast<std::vector<std::uint8_t>*>(closure)->end(), data, data + length);
                  return CAIRO_STATUS_SUCCESS;
              },
              &png)
        == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return isEncoded && layout.file(devicePath, png);
}

void circle(cairo_t* cr, double x, double y, double radius, bool isFilled)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, radius, 0, 2 * M_PI);
    isFilled ? cairo_fill(cr) : cairo_stroke(cr);
}

void plusGlyph(cairo_t* cr)
{
    cairo_move_to(cr, 14, 5);
    cairo_line_to(cr, 14, 23);
    cairo_move_to(cr, 5, 14);
    cairo_line_to(cr, 23, 14);
    cairo_stroke(cr);
}

void magnifierGlyph(cairo_t* cr)
{
    circle(cr, 12, 12, 7, false);
    cairo_move_to(cr, 17, 17);
    cairo_line_to(cr, 24, 24);
    cairo_stroke(cr);
}

void pencilGlyph(cairo_t* cr)
{
    cairo_move_to(cr, 6, 22);
    cairo_line_to(cr, 8, 16);
    cairo_line_to(cr, 19, 5);
    cairo_line_to(cr, 23, 9);
    cairo_line_to(cr, 12, 20);
    cairo_close_path(cr);
    cairo_stroke(cr);
}

void trayGlyph(cairo_t* cr)
{
    cairo_rectangle(cr, 4, 7, 20, 15);
    cairo_stroke(cr);
    cairo_move_to(cr, 4, 15);
    cairo_line_to(cr, 10, 15);
    cairo_line_to(cr, 12, 18);
    cairo_line_to(cr, 16, 18);
    cairo_line_to(cr, 18, 15);
    cairo_line_to(cr, 24, 15);
    cairo_stroke(cr);
}

void heartGlyph(cairo_t* cr)
{
    cairo_move_to(cr, 14, 23);
    cairo_curve_to(cr, 2, 15, 4, 4, 14, 9);
    cairo_curve_to(cr, 24, 4, 26, 15, 14, 23);
    cairo_fill(cr);
}

void clockGlyph(cairo_t* cr)
{
    circle(cr, 14, 14, 10, false);
    cairo_move_to(cr, 14, 8);
    cairo_line_to(cr, 14, 14);
    cairo_line_to(cr, 19, 17);
    cairo_stroke(cr);
}

void thermometerGlyph(cairo_t* cr)
{
    circle(cr, 14, 20, 4.5, true);
    cairo_move_to(cr, 14, 5);
    cairo_line_to(cr, 14, 17);
    cairo_stroke(cr);
}

// A picture in its own colours, which the host draws as it is.
void memoriesGlyph(cairo_t* cr)
{
    const double colors[][3] = { { 0.95, 0.3, 0.3 }, { 0.98, 0.7, 0.2 }, { 0.3, 0.75, 0.4 }, { 0.25, 0.5, 0.95 }, { 0.7, 0.35, 0.85 } };
    for (int petal = 0; petal < 5; ++petal) {
        double angle = petal * 2 * M_PI / 5 - M_PI / 2;
        cairo_set_source_rgba(cr, colors[petal][0], colors[petal][1], colors[petal][2], 0.85);
        circle(cr, 14 + 5.5 * std::cos(angle), 14 + 5.5 * std::sin(angle), 6, true);
    }
}

// A shortcut item: its icon a file the app brings (drawn here) or one of the system's types.
struct Item {
    const char* type;
    const char* title;
    const char* subtitle = nullptr;
    const char* iconFile = nullptr;
    Drawing icon = nullptr;
    int renderingMode = 0;
    const char* iconType = nullptr;
};

Item systemItem(const char* type, const char* title, const char* iconType)
{
    return { type, title, nullptr, nullptr, nullptr, 0, iconType };
}

struct App {
    const char* folder;
    const char* identifier;
    const char* name;
    void (*drawIcon)(cairo_t*);
    std::vector<Item> items;
};

bool writeApp(RootLayout& layout, const App& app)
{
    std::string folder = std::string("/Applications/") + app.folder;
    if (!layout.folder(folder))
        return false;
    PropertyListValue::Array items;
    for (auto& item : app.items) {
        PropertyListValue::Dictionary entry { { "UIApplicationShortcutItemType", PropertyListValue::string(item.type) },
            { "UIApplicationShortcutItemTitle", PropertyListValue::string(item.title) } };
        if (item.iconFile)
            entry.emplace("UIApplicationShortcutItemIconFile", PropertyListValue::string(item.iconFile));
        if (item.iconType)
            entry.emplace("UIApplicationShortcutItemIconType", PropertyListValue::string(std::string("UIApplicationShortcutIconType") + item.iconType));
        if (item.subtitle)
            entry.emplace("UIApplicationShortcutItemSubtitle", PropertyListValue::string(item.subtitle));
        if (item.renderingMode)
            entry.emplace("SBShortcutItemIconRenderingMode", PropertyListValue::integer(item.renderingMode));
        items.push_back(PropertyListValue::dictionary(std::move(entry)));
        if (item.iconFile && !writeIcon(layout, folder + "/" + item.iconFile + "@2x.png", 28, item.icon))
            return false;
    }
    NSDictionary info({ { "CFBundleIdentifier", PropertyListValue::string(app.identifier) }, { "CFBundleDisplayName", PropertyListValue::string(app.name) },
        { "CFBundleIconFile", PropertyListValue::string("AppIcon") }, { "UIApplicationShortcutItems", PropertyListValue::array(std::move(items)) } });
    return writeIcon(layout, folder + "/AppIcon@2x.png", 60, app.drawIcon) && layout.propertyList(folder + "/Info.plist", info);
}

// iOS 9's stock apps, with the quick actions each offers. Weather, Mail and
// Photos bring their own item icons, as the samples of icon files.
std::vector<App> stockApps()
{
    using namespace stockicons;
    return {
        { "MobileSMS.app", "com.apple.MobileSMS", "Messages", messages, { systemItem("com.apple.mobilesms.compose", "New Message", "Compose") } },
        { "MobileCal.app", "com.apple.mobilecal", "Calendar", calendar, { systemItem("com.apple.mobilecal.add-event", "Add Event", "Add") } },
        { "Photos.app", "com.apple.mobileslideshow", "Photos", photos,
            { { "com.apple.photos.most-recent", "Most Recent", "Today", "Recent", clockGlyph },
                { "com.apple.photos.favorites", "Favorites", "128 photos", "Favorites", heartGlyph },
                { "com.apple.photos.memories", "Memories", "One Year Ago", "Memories", memoriesGlyph, 1 },
                { "com.apple.photos.search", "Search", nullptr, "Search", magnifierGlyph } } },
        { "Camera.app", "com.apple.camera", "Camera", camera,
            { systemItem("com.apple.camera.selfie", "Take Selfie", "CapturePhoto"), systemItem("com.apple.camera.video", "Record Video", "CaptureVideo"),
                systemItem("com.apple.camera.slo-mo", "Record Slo-mo", "CaptureVideo"), systemItem("com.apple.camera.photo", "Take Photo", "CapturePhoto") } },
        { "Weather.app", "com.apple.weather", "Weather", weather,
            { { "weatherIconTemp", "Cupertino", "21\u00B0 Partly Cloudy", "Temperature", thermometerGlyph },
                { "com.apple.weather.add-city", "Add City", nullptr, "Add", plusGlyph } } },
        { "MobileTimer.app", "com.apple.mobiletimer", "Clock", clock,
            { systemItem("com.apple.mobiletimer.alarm", "Create Alarm", "Alarm"), systemItem("com.apple.mobiletimer.stopwatch", "Start Stopwatch", "Time"),
                systemItem("com.apple.mobiletimer.timer", "Start Timer", "Time") } },
        { "Maps.app", "com.apple.Maps", "Maps", maps,
            { systemItem("com.apple.Maps.directions-home", "Directions Home", "Home"),
                systemItem("com.apple.Maps.mark-location", "Mark My Location", "MarkLocation"),
                systemItem("com.apple.Maps.share-location", "Send My Location", "Share"),
                systemItem("com.apple.Maps.search-nearby", "Search Nearby", "Search") } },
        { "Videos.app", "com.apple.videos", "Videos", videos, {} },
        { "MobileNotes.app", "com.apple.mobilenotes", "Notes", notes,
            { systemItem("com.apple.mobilenotes.new-note", "New Note", "Compose"), systemItem("com.apple.mobilenotes.new-photo", "New Photo", "CapturePhoto"),
                systemItem("com.apple.mobilenotes.new-sketch", "New Sketch", "Compose") } },
        { "Reminders.app", "com.apple.reminders", "Reminders", reminders, { systemItem("com.apple.reminders.new", "New in Reminders", "Add") } },
        { "Stocks.app", "com.apple.stocks", "Stocks", stocks, {} },
        { "Game Center.app", "com.apple.gamecenter", "Game Center", gameCenter, {} },
        { "Newsstand.app", "com.apple.Newsstand", "Newsstand", newsstand, {} },
        { "MobileStore.app", "com.apple.MobileStore", "iTunes Store", iTunesStore,
            { systemItem("com.apple.MobileStore.search", "Search", "Search"), systemItem("com.apple.MobileStore.purchased", "Purchased", "Bookmark"),
                systemItem("com.apple.MobileStore.redeem", "Redeem", "Invitation") } },
        { "AppStore.app", "com.apple.AppStore", "App Store", appStore,
            { systemItem("com.apple.AppStore.update-all", "Update All", "Update"), systemItem("com.apple.AppStore.redeem", "Redeem", "Invitation"),
                systemItem("com.apple.AppStore.search", "Search", "Search"), systemItem("com.apple.AppStore.purchased", "Purchased", "Bookmark") } },
        { "iBooks.app", "com.apple.iBooks", "iBooks", iBooks, {} },
        { "Health.app", "com.apple.Health", "Health", health, {} },
        { "Passbook.app", "com.apple.Passbook", "Wallet", wallet, {} },
        { "Preferences.app", "com.apple.Preferences", "Settings", settings, {} },
        { "MobilePhone.app", "com.apple.mobilephone", "Phone", phone, { systemItem("com.apple.mobilephone.new-contact", "Create New Contact", "Add") } },
        { "Mail.app", "com.apple.mobilemail", "Mail", mail,
            { { "com.apple.mobilemail.compose", "New Message", nullptr, "Compose", pencilGlyph },
                { "com.apple.mobilemail.inbox", "Inbox", "3 unread", "Inbox", trayGlyph },
                { "com.apple.mobilemail.search", "Search", nullptr, "Search", magnifierGlyph } } },
        { "MobileSafari.app", "com.apple.mobilesafari", "Safari", safari,
            { systemItem("com.apple.mobilesafari.new-tab", "New Tab", "Add"), systemItem("com.apple.mobilesafari.new-private-tab", "New Private Tab", "Add"),
                systemItem("com.apple.mobilesafari.reading-list", "Show Reading List", "Bookmark"),
                systemItem("com.apple.mobilesafari.bookmarks", "Show Bookmarks", "Bookmark") } },
        { "Music.app", "com.apple.Music", "Music", music,
            { systemItem("com.apple.Music.search", "Search", "Search"), systemItem("com.apple.Music.beats1", "Play Beats 1", "Audio"),
                systemItem("com.apple.Music.shuffle", "Shuffle All", "Shuffle") } },
    };
}

// What the device says of itself, a mail account, and the package database
// with this package installed, as the package install leaves a device.
bool writeDeviceFiles(RootLayout& layout)
{
    for (const char* path : { "/System/Library/CoreServices", "/var/mobile/Library/Mail", "/var/lib/dpkg/info", "/var/lib/dpkg/updates" }) {
        if (!layout.folder(path))
            return false;
    }
    NSDictionary version({ { "ProductName", PropertyListValue::string("iPhone OS") }, { "ProductVersion", PropertyListValue::string("9.3.3") },
        { "ProductBuildVersion", PropertyListValue::string("13G34") } });
    NSDictionary model({ { "ProductType", PropertyListValue::string("iPhone8,1") } });
    NSDictionary accounts({ { "Accounts",
        PropertyListValue::array({ PropertyListValue::dictionary(
            { { "EmailAddress", PropertyListValue::string("mobile@example.com") }, { "DisplayName", PropertyListValue::string("Mobile") } }) }) } });
    static const char status[] = "Package: com.harbrook.menutone\n"
                                 "Status: install ok installed\n"
                                 "Priority: optional\n"
                                 "Section: Tweaks\n"
                                 "Installed-Size: 1024\n"
                                 "Maintainer: harbrook <support@harbrook.com>\n"
                                 "Architecture: iphoneos-arm\n"
                                 "Version: 1.0.0\n"
                                 "Depends: mobilesubstrate, preferenceloader\n"
                                 "Description: Restyle the shortcut menu of the home screen\n"
                                 "Name: Menutone\n"
                                 "\n"
                                 "Package: mobilesubstrate\n"
                                 "Status: install ok installed\n"
                                 "Priority: required\n"
                                 "Section: System\n"
                                 "Maintainer: saurik <saurik@saurik.com>\n"
                                 "Architecture: iphoneos-arm\n"
                                 "Version: 0.9.6301\n"
                                 "Description: powerful code insertion platform\n"
                                 "Name: Cydia Substrate\n"
                                 "\n"
                                 "Package: preferenceloader\n"
                                 "Status: install ok installed\n"
                                 "Priority: optional\n"
                                 "Section: System\n"
                                 "Maintainer: Dustin L. Howett <dustin@howett.net>\n"
                                 "Architecture: iphoneos-arm\n"
                                 "Version: 2.2.3\n"
                                 "Description: load preference bundles in the Settings app\n"
                                 "Name: PreferenceLoader\n"
                                 "\n";
    return layout.propertyList("/System/Library/CoreServices/SystemVersion.plist", version)
        && layout.propertyList("/System/Library/CoreServices/DeviceModel.plist", model)
        && layout.propertyList("/var/mobile/Library/Mail/Accounts.plist", accounts)
        && layout.file("/var/lib/dpkg/status", std::span(reinterpret_cast<const std::uint8_t*>(status), sizeof status - 1));
}

}

Expected<void> createRoot(const fs::path& folder)
{
    std::error_code folderError;
    fs::create_directories(folder, folderError);
    if (folderError)
        return makeError(ErrorKind::Failed, "cannot create " + folder.string() + ": " + folderError.message());
    // A folder that holds other things is no place for a root: "root create ~"
    // or "root create /" must not litter the host. A folder holding only what
    // a root holds (one from before the marker, say) is laid out again.
    DeviceRoot root(folder);
    bool holdsOtherThings = false;
    for (auto& entry : fs::directory_iterator(folder, folderError)) {
        std::string name = entry.path().filename().string();
        holdsOtherThings = holdsOtherThings
            || (name != "var" && name != "Library" && name != "Applications" && name != "System" && "/" + name != DeviceRoot::markerDevicePath);
    }
    if (!root.isDeviceRoot() && (holdsOtherThings || folderError))
        return makeError(ErrorKind::Refused, folder.string() + " holds other files and is not a device root; a root is laid out in an empty or new folder");
    RootLayout layout(folder);
    for (const char* standard : DeviceRoot::standardFolders) {
        if (!layout.folder(standard))
            return makeError(ErrorKind::Failed, layout.error());
    }
    if (!root.markAsDeviceRoot())
        return makeError(ErrorKind::Failed, "cannot mark " + folder.string() + " as a device root");
    const std::vector<App> apps = stockApps();
    bool isLaidOut = std::all_of(std::begin(apps), std::end(apps), [&](const App& app) { return writeApp(layout, app); }) && writeDeviceFiles(layout)
        && layout.copy(device::libraryFolder() / "Menutone.dylib", "/Library/MobileSubstrate/DynamicLibraries/Menutone.dylib")
        && layout.copy(device::dataFolder() / "Menutone.plist", "/Library/MobileSubstrate/DynamicLibraries/Menutone.plist")
        // The settings bundle and the entry that makes the Settings app list it.
        && layout.copyTree(device::libraryFolder() / "MenutoneSettings.bundle", std::string(kPreferenceBundlesFolder) + "/MenutoneSettings.bundle")
        && layout.copy(device::dataFolder() / "PreferenceLoader" / "MenutoneSettings.plist", std::string(kPreferenceEntriesFolder) + "/MenutoneSettings.plist");
    if (!isLaidOut)
        return makeError(ErrorKind::Failed, layout.error());
    return {};
}
