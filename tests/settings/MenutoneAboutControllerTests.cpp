#include <messageui/MFMailComposeViewController.h>
#include <mobilegestalt/MobileGestalt.h>
#include <settingsapp/ScreenSnapshot.h>
#include <uikit/UIApplication.h>

#include "SettingsTestSupport.h"

namespace {

class AboutScreen : public SettingsScreenTest {
protected:
    void SetUp() override
    {
        SettingsScreenTest::SetUp();
        auto& root = settingsRoot();
        std::filesystem::remove_all(root.hostPath("/Applications"));
        std::filesystem::create_directories(root.hostPath("/Applications"));
        std::filesystem::remove_all(root.hostPath("/var/mobile/Library/Mail"));
        std::filesystem::create_directories(root.hostPath("/System/Library/CoreServices"));
        NSDictionary({ { "ProductVersion", PropertyListValue::string("9.3.3") }, { "ProductBuildVersion", PropertyListValue::string("13G34") } })
            .writeToFile(kMGSystemVersionPath, Atomically::Yes);
        NSDictionary({ { "ProductType", PropertyListValue::string("iPhone8,1") } }).writeToFile(kMGDeviceModelPath, Atomically::Yes);
        writePackages(3);
    }

    void openAbout()
    {
        auto& app = openSettings();
        ASSERT_TRUE(succeeded(app.tapRow("About")));
        ASSERT_EQ(object_getClassName(app.topViewController()), std::string("MenutoneAboutController"));
    }

    static void installApp(const std::string& name, const std::vector<std::string>& schemes)
    {
        PropertyListValue::Array list;
        for (auto& scheme : schemes)
            list.push_back(PropertyListValue::string(scheme));
        std::filesystem::create_directories(settingsRoot().hostPath("/Applications/" + name + ".app"));
        NSDictionary({ { "CFBundleIdentifier", PropertyListValue::string("com.example." + name) },
                         { "CFBundleURLTypes",
                             PropertyListValue::array({ PropertyListValue::dictionary({ { "CFBundleURLSchemes", PropertyListValue::array(list) } }) }) } })
            .writeToFile("/Applications/" + name + ".app/Info.plist", Atomically::Yes);
    }

    static void addMailAccount()
    {
        NSFileManager::defaultManager().createDirectoryAtPath("/var/mobile/Library/Mail");
        NSDictionary(
            { { "Accounts",
                PropertyListValue::array({ PropertyListValue::dictionary({ { "EmailAddress", PropertyListValue::string("mobile@example.com") } }) }) } })
            .writeToFile(kMailAccountsPath, Atomically::Yes);
    }

    // A package database of count packages; a description of descriptionBytes
    // bytes or more, of two-byte characters, makes lines that outgrow a piece.
    static void writePackages(int count, std::size_t descriptionBytes = 0)
    {
        std::string status;
        for (int i = 0; i < count; ++i) {
            std::string description = "package number " + std::to_string(i);
            while (description.size() < descriptionBytes)
                description += " \u00E9t\u00E9";
            status += "Package: com.example.package" + std::to_string(i) + "\nStatus: install ok installed\nPriority: optional\nSection: Tweaks\n"
                + "Maintainer: Example <example@example.com>\nArchitecture: iphoneos-arm\nVersion: 1." + std::to_string(i) + "\nDescription: " + description
                + "\n\n";
        }
        std::filesystem::create_directories(settingsRoot().hostPath("/var/lib/dpkg"));
        writeBytes(settingsRoot().hostPath("/var/lib/dpkg/status"), status);
    }

    // What dpkg itself prints for the root's database: the listing's independent truth.
    static std::string dpkgListing()
    {
        return runCommand("/usr/bin/dpkg --admindir='" + settingsRoot().hostPath("/var/lib/dpkg").string() + "' -l 2>/dev/null").output;
    }

    std::vector<std::string> openedURLs() const
    {
        std::vector<std::string> urls;
        for (auto& opened : m_app->openedURLs())
            urls.push_back(opened.first);
        return urls;
    }

    MFMailComposeViewController* composer() const { return objc_dynamicCast<MFMailComposeViewController>(m_app->presentedSheet()); }
};

}

TEST_F(AboutScreen, TheFirstInstalledClientAppOpensTheMakersProfileElseTheWeb)
{
    openAbout();
    ASSERT_TRUE(succeeded(m_app->tapRow("Follow @harbrook")));
    EXPECT_EQ(openedURLs(), (std::vector<std::string> { "https://twitter.com/harbrook" }));

    installApp("Twitterrific", { "twitterrific" });
    installApp("Tweetbot", { "TweetBot" });
    m_app->clearOpenedURLs();
    ASSERT_TRUE(succeeded(m_app->tapRow("Follow @harbrook")));
    EXPECT_EQ(openedURLs(), (std::vector<std::string> { "tweetbot://harbrook/timeline" })) << "the second client, the first being absent";
    EXPECT_EQ(m_app->openedURLs()[0].second, "com.example.Tweetbot");

    installApp("Twitter", { "twitter" });
    m_app->clearOpenedURLs();
    ASSERT_TRUE(succeeded(m_app->tapRow("Follow @harbrook")));
    EXPECT_EQ(openedURLs(), (std::vector<std::string> { "twitter://user?screen_name=harbrook" }));
}

TEST_F(AboutScreen, TheSiteAndTheNineLinksOpenTheirAddresses)
{
    openAbout();
    ASSERT_TRUE(succeeded(m_app->tapRow("Website")));
    for (long r = 0; r < table().numberOfRowsInSection(1); ++r)
        ASSERT_TRUE(table().tapRowByUser(1, r));
    auto urls = openedURLs();
    ASSERT_EQ(urls.size(), 10u);
    EXPECT_TRUE(urls[0].starts_with("https://"));
    int packagePages = 0, storePages = 0;
    for (std::size_t i = 1; i < urls.size(); ++i) {
        packagePages += urls[i].starts_with("cydia://package/com.harbrook.");
        storePages += urls[i].starts_with("https://apps.apple.com/");
    }
    EXPECT_EQ(packagePages, 6);
    EXPECT_EQ(storePages, 3);
    std::sort(urls.begin(), urls.end());
    EXPECT_EQ(std::unique(urls.begin(), urls.end()), urls.end()) << "every link its own address";
}

TEST_F(AboutScreen, WithoutAMailAccountTheAlertIsAllThatHappens)
{
    openAbout();
    ASSERT_TRUE(succeeded(m_app->tapRow("Email support")));
    auto* alert = m_app->visibleAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "No mail accounts are set up.");
    EXPECT_EQ(alert->message(), "Use the Mail settings to add a new account.");
    EXPECT_EQ(alert->buttonTitles(), (std::vector<std::string> { "OK" }));
    EXPECT_EQ(alert->delegate(), nullptr);
    EXPECT_EQ(m_app->presentedSheet(), nullptr);
    EXPECT_TRUE(succeeded(m_app->tapAlertButton("OK")));
}

TEST_F(AboutScreen, TheSupportMailCarriesSubjectDeviceLineAndTheWholeListingAndIsSentAsMIME)
{
    addMailAccount();
    writePackages(3000);
    openAbout();
    ASSERT_TRUE(succeeded(m_app->tapRow("Email support")));
    auto* mail = composer();
    ASSERT_TRUE(mail);
    EXPECT_EQ(mail->presentingViewController(), m_app->topViewController()->navigationController()) << "presented from the navigation controller";
    EXPECT_EQ(mail->toRecipients().size(), 1u);
    EXPECT_EQ(mail->subject(), "Menutone com.harbrook.menutone Support");
    EXPECT_EQ(mail->messageBody(), "\n\nDevice information: iPhone8,1, iOS 9.3.3 (13G34)");
    EXPECT_FALSE(mail->isBodyHTML());
    ASSERT_EQ(mail->attachments().size(), 1u);
    auto& attachment = mail->attachments()[0];
    EXPECT_EQ(attachment.fileName, "tweaks.txt");
    EXPECT_EQ(attachment.mimeType, "text/plain");
    std::string listing = dpkgListing();
    EXPECT_GT(std::count(listing.begin(), listing.end(), '\n'), 3000);
    EXPECT_EQ(std::string(attachment.data.begin(), attachment.data.end()), listing);

    std::string posts = m_posts;
    std::size_t sentBefore = m_app->sentMail().size();
    ASSERT_TRUE(succeeded(m_app->tapBarButton(SettingsApp::BarSide::Right)));
    EXPECT_EQ(m_app->presentedSheet(), nullptr) << "the delegate dismissed the sheet";
    ASSERT_EQ(m_app->sentMail().size(), sentBefore + 1);
    auto sent = settingsRoot().hostPath(m_app->sentMail().back());
    // Python's email package reads the message back: an independent MIME reader.
    auto parsed = runCommand("python3 -c 'import email,sys\n"
                             "from email import policy\n"
                             "m=email.message_from_binary_file(open(sys.argv[1],\"rb\"),policy=policy.default)\n"
                             "parts=list(m.iter_parts())\n"
                             "print(m[\"Subject\"]);print(m[\"To\"]);print(repr(parts[0].get_content()));print(parts[1].get_filename())\n"
                             "sys.stdout.flush();sys.stdout.buffer.write(parts[1].get_payload(decode=True))' '"
        + sent.string() + "'");
    EXPECT_EQ(parsed.output,
        "Menutone com.harbrook.menutone Support\nsupport@harbrook.com\n'\\n\\nDevice information: iPhone8,1, iOS 9.3.3 (13G34)'\ntweaks.txt\n" + listing);
    EXPECT_EQ(m_posts, posts) << "mail changes no setting";
}

TEST_F(AboutScreen, LongListingLinesSplitIntoPiecesJoinWithoutLoss)
{
    addMailAccount();
    // Lines of a few thousand bytes of two-byte characters: some piece ends inside a character.
    writePackages(40, 2600);
    ::setenv("COLUMNS", "6000", 1);
    openAbout();
    ASSERT_TRUE(succeeded(m_app->tapRow("Email support")));
    std::string listing = dpkgListing();
    ::unsetenv("COLUMNS");
    ASSERT_TRUE(composer());
    ASSERT_EQ(composer()->attachments().size(), 1u);
    auto& data = composer()->attachments()[0].data;
    EXPECT_GT(listing.size(), 100000u);
    EXPECT_EQ(std::string(data.begin(), data.end()), listing);
}

TEST_F(AboutScreen, AListingThatFailsSendsTheMailWithoutAnAttachment)
{
    addMailAccount();
    std::filesystem::remove(settingsRoot().hostPath("/var/lib/dpkg/status"));
    writeBytes(settingsRoot().hostPath("/var/lib/dpkg/status"), "Package: broken\nStatus: this is not a status\n\n");
    openAbout();
    ASSERT_TRUE(succeeded(m_app->tapRow("Email support")));
    ASSERT_TRUE(composer());
    EXPECT_TRUE(composer()->attachments().empty());
    EXPECT_TRUE(succeeded(m_app->goBack())) << "back cancels the sheet";
    EXPECT_EQ(m_app->presentedSheet(), nullptr);
}

TEST_F(AboutScreen, ResetDeletesTheStoreAndPostsEvenWithoutOne)
{
    writeStore({ { "shortcutTitleColor", PropertyListValue::integer(25) } });
    openAbout();
    m_posts.clear();
    ASSERT_TRUE(succeeded(m_app->tapRow("Reset settings")));
    EXPECT_FALSE(store());
    EXPECT_EQ(m_posts, "com.harbrook.Menutone.notify(no file) ");
    ASSERT_TRUE(succeeded(m_app->tapRow("Reset settings")));
    EXPECT_EQ(m_posts, "com.harbrook.Menutone.notify(no file) com.harbrook.Menutone.notify(no file) ");
    EXPECT_EQ(m_app->visibleAlert(), nullptr) << "no confirmation";
}
