#include "AppInstall.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <vector>

#include <device/Beneath.h>
#include <device/DevicePath.h>
#include <device/DeviceRoot.h>
#include <foundation/NSDictionary.h>
#include <foundation/PropertyListSerialization.h>
#include <springboard/SBApplication.h>

#include <common/JSON.h>

#include "PrintError.h"
#include "notify/Notify.h"

namespace {

// One entry of an app bundle, by its path inside the bundle.
struct BundleEntry {
    enum class Kind { Folder, File, Link } kind;
    std::string path; // "Info.plist", "fr.lproj/InfoPlist.strings"
    std::vector<std::uint8_t> contents; // a file's bytes, or a link's target
};

struct Bundle {
    std::string name; // "Notes.app"
    std::vector<BundleEntry> entries;
};

// A relative path of plain components, none of them "." or ".."; what a
// bundle's entries must be.
bool isInside(const std::string& path)
{
    if (path.empty() || path.front() == '/' || path.find('\0') != std::string::npos || path.find('\\') != std::string::npos)
        return false;
    for (const auto& component : std::filesystem::path(path)) {
        if (component == ".." || component == ".")
            return false;
    }
    return true;
}

// A link's target, from the folder that holds the link, stays in the bundle.
bool linkStaysInside(const std::string& linkPath, const std::string& target)
{
    if (target.empty() || target.front() == '/')
        return false;
    auto resolved = (std::filesystem::path(linkPath).parent_path() / target).lexically_normal();
    return !resolved.empty() && *resolved.begin() != ".." && resolved.is_relative();
}

class Limits {
public:
    // Counts an entry of the given size; false (with the reason said) once past a bound.
    bool admit(std::uintmax_t bytes)
    {
        m_bytes += bytes;
        if (++m_entries > maximumAppEntries) {
            printError("refused: the app has more than " + std::to_string(maximumAppEntries) + " files");
            return false;
        }
        if (m_bytes > maximumAppBytes) {
            printError("refused: the app is larger than " + std::to_string(maximumAppBytes >> 20) + " MiB");
            return false;
        }
        return true;
    }

private:
    std::uintmax_t m_bytes { 0 };
    std::size_t m_entries { 0 };
};

std::optional<Bundle> readAppFolder(const std::filesystem::path& folder)
{
    Bundle bundle { folder.filename().string(), {} };
    Limits limits;
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator walk(folder, std::filesystem::directory_options::none, error), end; !error && walk != end;
         walk.increment(error)) {
        std::string relative = walk->path().lexically_relative(folder).string(); // not relative(), which follows links
        auto status = walk->symlink_status();
        if (std::filesystem::is_symlink(status)) {
            std::string target = std::filesystem::read_symlink(walk->path(), error).string();
            if (error || !linkStaysInside(relative, target)) {
                printError("refused: " + relative + " is a link that leads out of the bundle");
                return std::nullopt;
            }
            if (!limits.admit(target.size()))
                return std::nullopt;
            bundle.entries.push_back({ BundleEntry::Kind::Link, relative, { target.begin(), target.end() } });
        } else if (std::filesystem::is_directory(status)) {
            if (!limits.admit(0))
                return std::nullopt;
            bundle.entries.push_back({ BundleEntry::Kind::Folder, relative, {} });
        } else if (std::filesystem::is_regular_file(status)) {
            auto size = std::filesystem::file_size(walk->path(), error);
            if (error) {
                printError("cannot read " + walk->path().string());
                return std::nullopt;
            }
            if (!limits.admit(size))
                return std::nullopt;
            std::ifstream file(walk->path(), std::ios::binary);
            std::vector<std::uint8_t> contents((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
            if (!file && !file.eof()) {
                printError("cannot read " + walk->path().string());
                return std::nullopt;
            }
            bundle.entries.push_back({ BundleEntry::Kind::File, relative, std::move(contents) });
        } else {
            printError("refused: " + relative + " is neither a file, a folder nor a link");
            return std::nullopt;
        }
    }
    if (error) {
        printError("cannot read " + folder.string() + ": " + error.message());
        return std::nullopt;
    }
    return bundle;
}

std::optional<Bundle> readAppArchive(const std::filesystem::path& path)
{
    int status = 0;
    std::unique_ptr<zip_t, decltype(&zip_discard)> archive(zip_open(path.c_str(), ZIP_RDONLY, &status), &zip_discard);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, status);
        printError(path.string() + " is not a readable .ipa (zip) archive: " + zip_error_strerror(&error));
        zip_error_fini(&error);
        return std::nullopt;
    }
    Bundle bundle;
    Limits limits;
    zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t index = 0; index < count; ++index) {
        zip_stat_t stat;
        if (zip_stat_index(archive.get(), static_cast<zip_uint64_t>(index), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME)) {
            printError("refused: entry " + std::to_string(index) + " of the archive cannot be read");
            return std::nullopt;
        }
        std::string name = stat.name;
        bool isFolder = name.ends_with('/');
        if (isFolder)
            name.pop_back();
        // Every entry lies under Payload/NAME.app.
        if (name == "Payload" && isFolder)
            continue;
        if (!name.starts_with("Payload/") || !isInside(name)) {
            printError("refused: the archive's entry " + std::string(stat.name) + " lies outside Payload/");
            return std::nullopt;
        }
        std::string inPayload = name.substr(8);
        auto slash = inPayload.find('/');
        std::string appName = inPayload.substr(0, slash);
        if (!appName.ends_with(".app") || (!bundle.name.empty() && appName != bundle.name)) {
            printError("refused: the archive's Payload/ must hold one NAME.app and nothing else (found " + appName + ")");
            return std::nullopt;
        }
        bundle.name = appName;
        if (slash == std::string::npos)
            continue; // the bundle's own folder
        std::string relative = inPayload.substr(slash + 1);
        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        zip_file_get_external_attributes(archive.get(), static_cast<zip_uint64_t>(index), 0, &system, &attributes);
        bool isLink = system == ZIP_OPSYS_UNIX && S_ISLNK(attributes >> 16);
        std::uintmax_t size = (stat.valid & ZIP_STAT_SIZE) ? stat.size : 0;
        if (!limits.admit(size))
            return std::nullopt;
        if (isFolder) {
            bundle.entries.push_back({ BundleEntry::Kind::Folder, relative, {} });
            continue;
        }
        // Read no more than the entry declares (and one byte to catch a lie).
        std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(zip_fopen_index(archive.get(), static_cast<zip_uint64_t>(index), 0), &zip_fclose);
        std::vector<std::uint8_t> contents(static_cast<std::size_t>(size) + 1);
        zip_int64_t read = file ? zip_fread(file.get(), contents.data(), contents.size()) : -1;
        if (read < 0 || static_cast<std::uintmax_t>(read) != size) {
            printError("refused: the archive's entry " + name + " cannot be read whole, or is not the size it declares");
            return std::nullopt;
        }
        contents.resize(static_cast<std::size_t>(read));
        if (isLink) {
            std::string target(contents.begin(), contents.end());
            if (!linkStaysInside(relative, target)) {
                printError("refused: the archive's entry " + name + " is a link that leads out of the bundle");
                return std::nullopt;
            }
            bundle.entries.push_back({ BundleEntry::Kind::Link, relative, std::move(contents) });
        } else
            bundle.entries.push_back({ BundleEntry::Kind::File, relative, std::move(contents) });
    }
    if (bundle.name.empty()) {
        printError("refused: the archive holds no Payload/NAME.app");
        return std::nullopt;
    }
    return bundle;
}

std::string identifierOf(const NSDictionary& info)
{
    auto* value = info.objectForKey("CFBundleIdentifier");
    return value && value->asString() ? *value->asString() : std::string();
}

// The installed app with this identifier: its folder's device path.
std::optional<std::string> installedFolder(const std::string& identifier)
{
    for (auto& name : DeviceRoot::current().namesWithExtension("/Applications", ".app")) {
        std::string folder = "/Applications/" + name + ".app";
        if (auto info = SBApplication::infoDictionaryOfBundle(folder); info && identifierOf(*info) == identifier)
            return folder;
    }
    return std::nullopt;
}

// Links an archive may hold are made last, and each is kept only if it
// resolves beneath the bundle to something in it; text checks alone let a
// chain of links ("d" -> ".", "d/d/d/l" -> "../../..") reach the root.
void dropLinksLeavingBundle(int bundleFd, const std::vector<std::vector<std::string>>& links)
{
    std::vector<bool> isDropped(links.size(), false);
    for (bool isChanged = true; isChanged;) {
        isChanged = false;
        for (std::size_t i = 0; i < links.size(); ++i) {
            if (isDropped[i] || device::FileDescriptor(device::openBeneath(bundleFd, device::relativePath(links[i], links[i].size()), O_PATH)).isValid())
                continue;
            std::vector<std::string> parent(links[i].begin(), links[i].end() - 1);
            device::FileDescriptor parentFolder(device::openBeneath(bundleFd, device::relativePath(parent, parent.size()), O_PATH | O_DIRECTORY));
            if (parentFolder.isValid())
                ::unlinkat(parentFolder.get(), links[i].back().c_str(), 0);
            std::cerr << "menutone: left out " << device::relativePath(links[i], links[i].size())
                      << ": a link that leads out of the bundle or to nothing in it\n";
            isDropped[i] = isChanged = true;
        }
    }
}

// Every entry is written beneath the staging bundle's own folder, opened
// beneath the root, so no entry can land outside the bundle.
bool writeEntries(const DeviceRoot& root, const std::string& folder, const Bundle& bundle)
{
    if (!root.createFolders(folder))
        return false;
    device::FileDescriptor bundleFolder = root.open(folder, O_PATH | O_DIRECTORY);
    if (!bundleFolder.isValid())
        return false;
    int bundleFd = bundleFolder.get();
    auto openParent = [&](const std::vector<std::string>& components) {
        std::vector<std::string> parent(components.begin(), components.end() - 1);
        return device::createFoldersBeneath(bundleFd, parent)
            ? device::FileDescriptor(device::openBeneath(bundleFd, device::relativePath(parent, parent.size()), O_RDONLY | O_DIRECTORY))
            : device::FileDescriptor();
    };
    std::vector<const BundleEntry*> links;
    std::vector<std::vector<std::string>> linkPaths;
    auto refuse = [](const std::string& path) {
        printError("could not write " + path + " in the bundle");
        return false;
    };
    for (auto& entry : bundle.entries) {
        auto components = device::devicePathComponents("/" + entry.path);
        if (!components || components->empty() || !isInside(entry.path))
            return refuse(entry.path);
        if (entry.kind == BundleEntry::Kind::Link) {
            links.push_back(&entry);
            linkPaths.push_back(*components);
            continue;
        }
        bool isWritten = false;
        if (entry.kind == BundleEntry::Kind::Folder)
            isWritten = device::createFoldersBeneath(bundleFd, *components);
        else {
            device::FileDescriptor parent = openParent(*components);
            isWritten = parent.isValid() && device::writeFileInFolder(parent.get(), components->back(), entry.contents, device::WriteMode::Direct);
        }
        if (!isWritten)
            return refuse(entry.path);
    }
    for (std::size_t i = 0; i < links.size(); ++i) {
        device::FileDescriptor parent = openParent(linkPaths[i]);
        std::string target(links[i]->contents.begin(), links[i]->contents.end());
        if (!parent.isValid() || target.find('\0') != std::string::npos || ::symlinkat(target.c_str(), parent.get(), linkPaths[i].back().c_str()) != 0)
            return refuse(links[i]->path);
    }
    dropLinksLeavingBundle(bundleFd, linkPaths);
    return true;
}

const char* const stagingPrefix = ".installing";

}

ExitStatus appInstall(const std::string& hostPath)
{
    std::filesystem::path source(hostPath);
    while (!source.has_filename() && source.has_parent_path() && source != source.root_path())
        source = source.parent_path(); // "Notes.app/" as "Notes.app"
    std::error_code error;
    auto status = std::filesystem::status(source, error);
    std::optional<Bundle> bundle;
    if (std::filesystem::is_directory(status) && source.extension() == ".app")
        bundle = readAppFolder(source);
    else if (std::filesystem::is_regular_file(status) && source.extension() == ".ipa")
        bundle = readAppArchive(source);
    else {
        printError(hostPath + (std::filesystem::exists(status) ? " is neither an .app folder nor an .ipa archive" : " does not exist"));
        return ExitStatus::Usage;
    }
    if (!bundle)
        return ExitStatus::Failure;

    std::optional<NSDictionary> info;
    for (auto& entry : bundle->entries) {
        if (entry.kind == BundleEntry::Kind::File && entry.path == "Info.plist") {
            if (auto value = PropertyListSerialization::propertyListWithData(entry.contents); value && value->asDictionary())
                info = NSDictionary(*value->asDictionary());
        }
    }
    std::string identifier = info ? identifierOf(*info) : std::string();
    if (identifier.empty()) {
        printError("refused: " + bundle->name + " has no Info.plist with a CFBundleIdentifier");
        return ExitStatus::Failure;
    }
    DeviceRoot root = DeviceRoot::current();
    std::string target = "/Applications/" + bundle->name;
    auto previous = installedFolder(identifier);
    if (root.fileExists(target) && previous != target) {
        printError("refused: another app is installed as " + target);
        return ExitStatus::Failure;
    }
    // Written aside, then swapped into place in one step, so a running home
    // screen never sees half an app, and a kill at any moment leaves the old
    // app whole or the new one whole; the old one is deleted afterwards.
    root.removeAbandonedScratch("/Applications", stagingPrefix);
    std::string staging = "/Applications/" + DeviceRoot::scratchName(stagingPrefix);
    root.removeItem(staging);
    std::string staged = staging + "/" + bundle->name;
    bool isInstalled = writeEntries(root, staged, *bundle);
    if (isInstalled && previous)
        isInstalled = root.exchangeItems(staged, *previous) && (*previous == target || root.moveItem(*previous, target));
    else if (isInstalled)
        isInstalled = root.moveItem(staged, target);
    root.removeItem(staging);
    if (!isInstalled) {
        printError("could not install " + bundle->name + " into " + root.hostFolder().string());
        return ExitStatus::Failure;
    }
    postNotification(kApplicationInstalledNotification);
    std::cout << "installed " << identifier << " as " << target << (previous ? " (replacing the installed one)" : "") << "\n";
    return ExitStatus::Success;
}

ExitStatus appList(bool isJSON)
{
    DeviceRoot::current().removeAbandonedScratch("/Applications", stagingPrefix);
    JSON list = JSON::array();
    for (auto& application : SBApplication::installedApplications()) {
        std::string folder = installedFolder(application->bundleIdentifier()).value_or("");
        if (isJSON)
            list.push_back({ { "id", application->bundleIdentifier() }, { "name", application->displayName() }, { "folder", folder },
                { "items", application->shortcutItems().size() } });
        else
            std::cout << application->bundleIdentifier() << "  " << application->displayName() << "  " << folder << "  (" << application->shortcutItems().size()
                      << " items)\n";
    }
    if (isJSON)
        std::cout << jsonText(list) << "\n";
    return ExitStatus::Success;
}

ExitStatus appRemove(const std::string& identifier)
{
    auto folder = installedFolder(identifier);
    if (!folder) {
        printError("no app " + identifier + " is installed");
        return ExitStatus::Failure;
    }
    if (!DeviceRoot::current().removeItem(*folder)) {
        printError("could not remove " + *folder);
        return ExitStatus::Failure;
    }
    postNotification(kApplicationUninstalledNotification);
    std::cout << "removed " << identifier << " (" << *folder << ")\n";
    return ExitStatus::Success;
}
