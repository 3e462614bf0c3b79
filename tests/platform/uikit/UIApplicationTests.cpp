#include <gtest/gtest.h>

#include <foundation/NSDictionary.h>
#include <uikit/UIApplication.h>

#include "TestSupport.h"

namespace {

void installApp(const std::string& name, PropertyListValue urlTypes)
{
    NSFileManager::defaultManager().createDirectoryAtPath("/Applications/" + name + ".app");
    NSDictionary({ { "CFBundleIdentifier", PropertyListValue::string("com.example." + name) }, { "CFBundleURLTypes", std::move(urlTypes) } })
        .writeToFile("/Applications/" + name + ".app/Info.plist", Atomically::Yes);
}

PropertyListValue schemes(std::initializer_list<const char*> names)
{
    PropertyListValue::Array list;
    for (auto* name : names)
        list.push_back(PropertyListValue::string(name));
    return PropertyListValue::array({ PropertyListValue::dictionary({ { "CFBundleURLSchemes", PropertyListValue::array(std::move(list)) } }) });
}

}

TEST(UIApplication, AnAddressOpensInTheAppThatDeclaresItsSchemeAndTheSystemHearsOfEveryAttempt)
{
    TemporaryRoot root;
    auto& application = UIApplication::sharedApplication();
    std::string heard;
    application.setOpenURLHandler([&](const std::string& url, const std::string& app) { heard += url + " -> " + (app.empty() ? "none" : app) + "; "; });
    installApp("Reader", schemes({ "reader", "Reader-Two" }));
    installApp("Broken", PropertyListValue::string("not a list")); // a malformed declaration opens nothing
    EXPECT_TRUE(application.canOpenURL("reader://item/1"));
    EXPECT_TRUE(application.canOpenURL("READER-two:x")) << "schemes compare without case";
    EXPECT_TRUE(application.canOpenURL("https://example.com/"));
    EXPECT_FALSE(application.canOpenURL("cydia://package/x"));
    EXPECT_FALSE(application.canOpenURL("no scheme here"));
    EXPECT_FALSE(application.canOpenURL(":empty"));
    EXPECT_FALSE(application.canOpenURL("1abc://digit-first"));

    EXPECT_TRUE(application.openURL("reader://item/1"));
    EXPECT_FALSE(application.openURL("cydia://package/x"));
    application.setOpenURLHandler(nullptr);
    EXPECT_EQ(heard, "reader://item/1 -> com.example.Reader; cydia://package/x -> none; ");
}
