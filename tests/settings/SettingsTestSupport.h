#pragma once

// A device root with the settings bundle installed, one per test process (the
// bundle's library loads once), and a Settings app showing its first screen.

#include <gtest/gtest.h>

#include <corefoundation/CFNotificationCenter.h>
#include <corefoundation/CFRunLoop.h>
#include <foundation/NSDictionary.h>
#include <settingsapp/SettingsApp.h>
#include <store/SettingsStore.h>
#include <uikit/UIControl.h>
#include <uikit/UIViewAnimation.h>

#include "TestSupport.h"

// Removed as the test process exits, with the bundle still loaded from it.
inline const TemporaryRoot& settingsRoot()
{
    static TemporaryRoot root;
    static bool isInstalled = [] {
        std::filesystem::copy(
            MENUTONE_SETTINGS_BUNDLE, root.hostPath("/Library/PreferenceBundles/MenutoneSettings.bundle"), std::filesystem::copy_options::recursive);
        std::filesystem::copy_file(MENUTONE_SETTINGS_ENTRY, root.hostPath("/Library/PreferenceLoader/Preferences/MenutoneSettings.plist"));
        return true;
    }();
    (void)isInstalled;
    DeviceRoot::setCurrent(root.path());
    return root;
}

// Red 228, green 66, blue 53 of 255: the accent of every screen.
inline Ref<UIColor> expectedSettingsTint()
{
    return UIColor::colorWithRed(228 / 255.0, 66 / 255.0, 53 / 255.0, 1);
}

class SettingsScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        settingsRoot();
        NSFileManager::defaultManager().removeItemAtPath(kMenutoneSettingsPath);
        for (auto& alert : UIAlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(alert->cancelButtonIndex(), false);
        CFRunLoop::main().useManualClock();
        // The screens are measured as they end up, not mid-slide.
        UIViewAnimation::setAnimationsEnabled(false);
        // Each post, with what the store holds at that moment.
        corefoundation::setPostObserverForTesting([this](std::string_view name) { m_posts += std::string(name) + "(" + storeText() + ") "; });
    }

    void TearDown() override { corefoundation::setPostObserverForTesting(nullptr); }

    // Starts the app; a test that lays out the store does so first.
    SettingsApp& openSettings()
    {
        m_app = std::make_unique<SettingsApp>();
        EXPECT_TRUE(succeeded(m_app->openEntry("MenutoneSettings")));
        return *m_app;
    }

    static void writeStore(PropertyListValue::Dictionary entries)
    {
        ASSERT_TRUE(NSDictionary(std::move(entries)).writeToFile(kMenutoneSettingsPath, Atomically::Yes));
    }
    static std::optional<NSDictionary> store() { return NSDictionary::dictionaryWithContentsOfFile(kMenutoneSettingsPath); }

    // "key=value ..." of the integer and boolean keys, for compact comparisons.
    static std::string storeText()
    {
        auto stored = store();
        if (!stored)
            return "no file";
        std::string text;
        for (auto& [key, value] : stored->entries()) {
            if (auto boolean = value.asBoolean())
                text += (text.empty() ? "" : " ") + key + "=" + (*boolean ? "true" : "false");
            else if (auto integer = value.asInteger())
                text += (text.empty() ? "" : " ") + key + "=" + std::to_string(*integer);
            else
                text += (text.empty() ? "" : " ") + key + "=" + PropertyListValue::typeName(value.type());
        }
        return text;
    }

    UITableView& table() const { return *m_app->topTable(); }
    UITableViewCell& row(long section, long index) const { return *table().cellForRow(section, index); }

    std::string m_posts;
    std::unique_ptr<SettingsApp> m_app;
};
