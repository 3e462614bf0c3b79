// `menutone notify NAME [--wait [--count N] [--timeout S]]`.

#include <memory>

#include <CLI/CLI.hpp>

#include "Notify.h"
#include "Subcommand.h"

void addNotifyCommand(MenutoneCommandLine& line)
{
    struct Arguments {
        std::string name;
        bool isWaiting { false };
        unsigned count { 0 };
        double timeoutSeconds { 0 };
    };
    auto arguments = std::make_shared<Arguments>();
    auto* notify = line.app().add_subcommand("notify", "Post a Darwin notification in the device root, or wait for one");
    notify->add_option("name", arguments->name, "Notification name, such as com.harbrook.Menutone.notify")->required();
    notify->add_flag("--wait", arguments->isWaiting, "Wait for the notification and print each delivery instead of posting");
    notify->add_option("--count", arguments->count, "With --wait: end after this many deliveries (default: never)");
    notify->add_option("--timeout", arguments->timeoutSeconds, "With --wait: fail after this many seconds (default: never)")->check(CLI::NonNegativeNumber);
    line.addRootOption(*notify);
    line.setAction(*notify, [arguments] {
        auto& a = *arguments;
        return a.isWaiting ? waitForNotification(a.name, a.count, a.timeoutSeconds) : postNotification(a.name);
    });
}
