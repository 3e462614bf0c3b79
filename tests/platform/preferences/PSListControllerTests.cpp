// The Preferences host's list: rows from a specifier plist of the bundle,
// values through the runtime, links, buttons and switches.

#include <gtest/gtest.h>

#include <corefoundation/CFNotificationCenter.h>
#include <foundation/NSDictionary.h>
#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>
#include <preferences/PSListController.h>
#include <preferences/PSTableCell.h>

#include "TestSupport.h"

namespace {

constexpr const char* bundlePath = "/Library/PreferenceBundles/Probe.bundle";

class ListForTesting : public PSListController {
public:
    static Class objcClass();
    std::string m_log;
};

class DetailForTesting : public PSViewController {
public:
    static Class objcClass();
};

PSSpecifierArray loadRows(id self, SEL)
{
    auto* list = static_cast<ListForTesting*>(self);
    if (list->m_specifiers.empty())
        list->m_specifiers = list->loadSpecifiersFromPlistName("Rows", self);
    return list->m_specifiers;
}

void buttonTapped(id self, SEL, id specifier)
{
    static_cast<ListForTesting*>(self)->m_log += "tapped(" + static_cast<PSSpecifier*>(specifier)->name() + ") ";
}

Class ListForTesting::objcClass()
{
    static Class cls = ClassBuilder<ListForTesting>("ListForTesting", PSListController::objcClass())
                           .method("specifiers", &loadRows)
                           .method("buttonTapped:", &buttonTapped)
                           .registerClass();
    return cls;
}

Class DetailForTesting::objcClass()
{
    static Class cls = ClassBuilder<DetailForTesting>("DetailForTesting", PSViewController::objcClass()).registerClass();
    return cls;
}

[[maybe_unused]] Class registeredDetail = DetailForTesting::objcClass();

PropertyListValue item(std::initializer_list<std::pair<const std::string, PropertyListValue>> entries)
{
    return PropertyListValue::dictionary(PropertyListValue::Dictionary(entries));
}

PropertyListValue text(const char* value)
{
    return PropertyListValue::string(value);
}

void writeRows(const TemporaryRoot& root, PropertyListValue::Array items)
{
    std::filesystem::create_directories(root.hostPath(bundlePath));
    NSDictionary plist({ { "title", text("Probe") }, { "items", PropertyListValue::array(std::move(items)) } });
    ASSERT_TRUE(plist.writeToFile(std::string(bundlePath) + "/Rows.plist", Atomically::Yes));
}

PropertyListValue::Array standardRows()
{
    return {
        item({ { "cell", text("PSGroupCell") }, { "label", text("Values") }, { "footerText", text("Stored in com.example.probe") } }),
        item({ { "cell", text("PSSwitchCell") }, { "label", text("Enabled") }, { "key", text("isOn") }, { "default", PropertyListValue::boolean(true) },
            { "defaults", text("com.example.probe") }, { "PostNotification", text("com.example.probe.changed") } }),
        item({ { "cell", text("PSSwitchCell") }, { "label", text("Quiet") }, { "key", text("isQuiet") }, { "defaults", text("com.example.probe") } }),
        text("not a row"),
        item({ { "cell", text("PSNoSuchCell") }, { "label", text("Unknown") } }),
        item({ { "cell", text("PSGroupCell") } }),
        item({ { "cell", text("PSLinkCell") }, { "label", text("Details") }, { "detail", text("DetailForTesting") } }),
        item({ { "cell", text("PSLinkCell") }, { "label", text("Nowhere") }, { "detail", text("NoSuchController") } }),
        item({ { "cell", text("PSButtonCell") }, { "label", text("Press") }, { "action", text("buttonTapped:") } }),
    };
}

struct Screen {
    Ref<UINavigationController> navigation;
    Ref<ListForTesting> list;
};

Screen showList()
{
    auto navigation = UINavigationController::create();
    auto made = UIViewController::allocInit(ListForTesting::objcClass());
    Ref<ListForTesting> list = adoptRef(*static_cast<ListForTesting*>(made.leakRef()));
    list->setBundlePath(bundlePath);
    navigation->pushViewController(list, false);
    navigation->appear(false);
    return { navigation, list };
}

}

TEST(PSListController, RowsComeFromTheBundlesPlistGroupedUnderTheirGroupCells)
{
    TemporaryRoot root;
    writeRows(root, standardRows());
    auto screen = showList();
    auto* table = screen.list->table();
    EXPECT_EQ(screen.list->title(), "Probe");
    ASSERT_EQ(table->numberOfSections(), 2);
    EXPECT_EQ(table->headerTitle(0), "Values");
    EXPECT_EQ(table->footerTitle(0), "Stored in com.example.probe");
    EXPECT_EQ(table->headerTitle(1), std::nullopt);
    ASSERT_EQ(table->numberOfRowsInSection(0), 2) << "items that are not rows of a known cell type are left out";
    EXPECT_EQ(table->cellForRow(0, 0)->textLabel()->text(), "Enabled");
    EXPECT_TRUE(table->cellForRow(0, 0)->isKindOfClass(PSSwitchTableCell::objcClass()));
    EXPECT_EQ(table->cellForRow(1, 0)->accessoryType(), UITableViewCellAccessoryType::DisclosureIndicator);
    EXPECT_EQ(table->cellForRow(1, 2)->textLabel()->text(), "Press");
}

TEST(PSListController, AMissingOrMalformedPlistGivesNoRows)
{
    TemporaryRoot root;
    auto screen = showList();
    EXPECT_EQ(screen.list->table()->numberOfSections(), 0);
    EXPECT_TRUE(screen.list->loadSpecifiersFromPlistName("../Rows", screen.list.ptr()).empty());
    std::filesystem::create_directories(root.hostPath(bundlePath));
    writeBytes(root.hostPath(std::string(bundlePath) + "/Rows.plist"), "<plist><dict><key>items</key>");
    EXPECT_TRUE(screen.list->loadSpecifiersFromPlistName("Rows", screen.list.ptr()).empty());
}

TEST(PSListController, SwitchRowsReadTheirDomainAndWriteBackPostingTheirNotification)
{
    TemporaryRoot root;
    writeRows(root, standardRows());
    std::string posts;
    corefoundation::setPostObserverForTesting([&](std::string_view name) { posts += std::string(name) + " "; });
    auto screen = showList();
    auto* table = screen.list->table();
    auto* enabled = static_cast<PSSwitchTableCell*>(table->cellForRow(0, 0));
    auto* quiet = static_cast<PSSwitchTableCell*>(table->cellForRow(0, 1));
    EXPECT_TRUE(enabled->control()->isOn()) << "no domain file: the row's default";
    EXPECT_FALSE(quiet->control()->isOn()) << "no default: off";

    enabled->control()->toggleByUser(false);
    quiet->control()->toggleByUser(true);
    auto stored = NSDictionary::dictionaryWithContentsOfFile("/var/mobile/Library/Preferences/com.example.probe.plist");
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored->objectForKey("isOn"), PropertyListValue::boolean(false));
    EXPECT_EQ(*stored->objectForKey("isQuiet"), PropertyListValue::boolean(true));
    EXPECT_EQ(posts, "com.example.probe.changed ") << "only the row with PostNotification posts";

    screen.list->reloadSpecifiers();
    EXPECT_FALSE(static_cast<PSSwitchTableCell*>(table->cellForRow(0, 0))->control()->isOn());
    corefoundation::setPostObserverForTesting(nullptr);
}

TEST(PSListController, LinksPushTheirDetailControllerAndButtonsSendTheirAction)
{
    TemporaryRoot root;
    writeRows(root, standardRows());
    auto screen = showList();
    auto* table = screen.list->table();
    table->clearEventLogForTesting();
    table->tapRowByUser(0, 0);
    EXPECT_EQ(table->eventLogForTesting(), "") << "switch rows do not highlight";
    EXPECT_TRUE(table->tapRowByUser(1, 1));
    EXPECT_EQ(screen.navigation->viewControllers().size(), 1u) << "a link to a class nobody defines leads nowhere";
    EXPECT_TRUE(table->tapRowByUser(1, 2));
    EXPECT_EQ(screen.list->m_log, "tapped(Press) ");
    EXPECT_TRUE(table->tapRowByUser(1, 0));
    ASSERT_EQ(screen.navigation->viewControllers().size(), 2u);
    auto* detail = objc_dynamicCast<DetailForTesting>(screen.navigation->topViewController());
    ASSERT_TRUE(detail);
    EXPECT_EQ(detail->bundlePath(), bundlePath);
    EXPECT_EQ(detail->specifier()->name(), "Details");
    EXPECT_EQ(detail->parentController(), screen.list.ptr());
}
