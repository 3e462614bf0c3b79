#include <substrate/Loader.h>

#include <gtest/gtest.h>

#include <set>

#include "TestSupport.h"

namespace {
std::set<std::string> loadedProbes;
}

extern "C" __attribute__((visibility("default"))) void loaderProbeDidLoad(const char* path)
{
    loadedProbes.insert(std::filesystem::path(path).stem().string());
}

TEST(Loader, InjectsTheLibrariesWhoseFiltersAdmitTheProcess)
{
    loadedProbes.clear();
    TemporaryRoot root;
    auto folder = root.hostPath(substrate::dynamicLibrariesFolder);
    auto install = [&](const std::string& name, const char* plist) {
        std::filesystem::copy_file(LOADER_PROBE, folder / (name + ".dylib"));
        if (plist)
            writeBytes(folder / (name + ".plist"), plist);
    };
    auto filter = [](const std::string& inner) { return "<plist version=\"1.0\"><dict><key>Filter</key><dict>" + inner + "</dict></dict></plist>"; };
    std::string springBoard = "<key>Bundles</key><array><string>com.apple.springboard</string></array>";
    std::string otherExecutable = "<key>Executables</key><array><string>Preferences</string></array>";
    std::string bundlesOnly = filter(springBoard), otherBundle = filter("<key>Bundles</key><array><string>com.apple.Preferences</string></array>");
    std::string bothMustMatch = filter(springBoard + otherExecutable), anyMay = filter(springBoard + otherExecutable + "<key>Mode</key><string>Any</string>");
    install("Everywhere", nullptr);
    install("ForSpringBoard", bundlesOnly.c_str());
    install("ForSettings", otherBundle.c_str());
    install("BothCriteria", bothMustMatch.c_str());
    install("AnyCriterion", anyMay.c_str());
    install("Corrupt", "<plist><dict><key>Filter</key>");
    writeBytes(folder / "NotALibrary.txt", "x");

    auto results = substrate::loadTweakLibraries("com.apple.springboard", "SpringBoard");
    EXPECT_EQ(loadedProbes, (std::set<std::string> { "AnyCriterion", "Everywhere", "ForSpringBoard" }));
    ASSERT_EQ(results.size(), 6u);
    for (auto& result : results) {
        EXPECT_EQ(result.isLoaded, loadedProbes.contains(result.name)) << result.name;
        if (result.name == "Corrupt") {
            EXPECT_EQ(result.reason, "its plist cannot be read");
        }
    }
}

TEST(Loader, ALibraryThatIsALinkOutOfTheRootNeverRunsAndOneThatStaysInsideDoes)
{
    loadedProbes.clear();
    TemporaryFolder outside;
    std::filesystem::copy_file(LOADER_PROBE, outside.path() / "Outside.dylib");
    TemporaryRoot root;
    auto folder = root.hostPath(substrate::dynamicLibrariesFolder);
    std::filesystem::create_symlink(outside.path() / "Outside.dylib", folder / "Escaping.dylib");
    std::filesystem::copy_file(LOADER_PROBE, root.path() / "var/Linked.dylib");
    std::filesystem::create_symlink("../../../var/Linked.dylib", folder / "Inside.dylib");

    auto results = substrate::loadTweakLibraries("com.apple.springboard", "SpringBoard");
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].name, "Escaping");
    EXPECT_FALSE(results[0].isLoaded);
    EXPECT_EQ(results[0].reason, "it does not load: it lies outside the device root");
    EXPECT_FALSE(loadedProbes.contains("Outside"));
    EXPECT_EQ(results[1].name, "Inside");
    EXPECT_TRUE(results[1].isLoaded) << results[1].reason;
    EXPECT_TRUE(loadedProbes.contains("Linked"));
}
