// `menutone defaults` and its verbs.

#include <algorithm>
#include <iostream>
#include <memory>
#include <set>
#include <string_view>

#include <CLI/CLI.hpp>

#include "Defaults.h"
#include "Subcommand.h"

namespace {

constexpr const char* kNoNotifyHelp = "Do not post com.harbrook.Menutone.notify after changing that domain";

struct DefaultsArguments {
    DefaultsOptions options;
    std::string domain;
    std::optional<std::string> key;
    std::string word, file, newKey;
    bool isQuiet { false };

    const DefaultsOptions& optionsForRun()
    {
        options.shouldNotify = !isQuiet;
        return options;
    }
};

}

void readDashGAsGlobalDomain(int argc, char** argv)
{
    // -g stands where a domain goes, as in Apple's tool; to the parser it
    // would be an option, so it is read as the global domain's name.
    static std::string globalDomain = "NSGlobalDomain";
    static const std::set<std::string_view> verbs { "read", "delete", "export", "import", "read-type", "rename" };
    for (int i = 2; i < argc; ++i) {
        if (std::string_view(argv[i]) == "-g" && verbs.contains(argv[i - 1]) && std::find(argv + 1, argv + i - 1, std::string_view("defaults")) != argv + i - 1)
            argv[i] = globalDomain.data();
    }
}

void addDefaultsCommand(MenutoneCommandLine& line)
{
    auto arguments = std::make_shared<DefaultsArguments>();
    auto& a = *arguments;
    auto* defaults = line.app().add_subcommand("defaults", "Read and edit a preferences domain, as Apple's defaults tool does");
    defaults->require_subcommand(1);
    line.addRootOption(*defaults);

    auto* read = defaults->add_subcommand("read", "Print a domain, or one key of it; every domain with none");
    read->add_option("domain", a.domain, "Domain, such as com.harbrook.Menutone, or a plist path within the root");
    read->add_option("key", a.key, "Key to print");
    read->add_flag("--json", a.options.isJSON, "Print JSON");
    read->add_flag("--resolved", a.options.isResolved, "Print every Menutone key as the tweak reads it, defaults filled in");
    line.setAction(*read, [arguments] {
        auto& a = *arguments;
        return a.domain.empty() ? defaultsReadAll(a.optionsForRun()) : defaultsRead(a.domain, a.key ? &*a.key : nullptr, a.optionsForRun());
    });

    // Values such as -bool are the defaults tool's spelling, not options: they are read from the extras.
    auto* write = defaults->add_subcommand("write",
        "Set one key: write DOMAIN KEY [-bool|-int|-float|-string|-data|-date|-color] VALUE, KEY -array|-array-add VALUE..., "
        "or KEY -dict|-dict-add KEY VALUE...; -g is the global domain");
    write->allow_extras();
    write->add_flag("--no-notify", a.isQuiet, "Do not post com.harbrook.Menutone.notify after writing that domain");
    line.setAction(*write, [arguments, write] {
        std::vector<std::string> words = write->remaining();
        if (words.empty()) {
            std::cerr << "menutone: usage: menutone defaults write DOMAIN KEY [-bool|-int|-float|-string|-data|-date|-color] VALUE, KEY -array|-array-add "
                         "VALUE..., or KEY -dict|-dict-add KEY VALUE...\n";
            return ExitStatus::Usage;
        }
        std::string domain = words.front();
        words.erase(words.begin());
        return defaultsWrite(domain, words, arguments->optionsForRun());
    });

    auto* remove = defaults->add_subcommand("delete", "Remove one key, or the whole domain");
    remove->add_option("domain", a.domain, "Domain")->required();
    remove->add_option("key", a.key, "Key to remove");
    remove->add_flag("--no-notify", a.isQuiet, kNoNotifyHelp);
    line.setAction(*remove, [arguments] { return defaultsDelete(arguments->domain, arguments->key ? &*arguments->key : nullptr, arguments->optionsForRun()); });

    auto* domains = defaults->add_subcommand("domains", "List the domains of the root");
    line.setAction(*domains, [] { return defaultsDomains(); });

    auto* find = defaults->add_subcommand("find", "Print the keys whose names or strings contain WORD, in every domain");
    find->add_option("WORD", a.word, "The word, matched ignoring case")->required();
    line.setAction(*find, [arguments] { return defaultsFind(arguments->word); });

    auto* exportCommand = defaults->add_subcommand("export", "Write a domain as an XML property list to FILE, or standard output for -");
    exportCommand->add_option("domain", a.domain, "Domain")->required();
    exportCommand->add_option("FILE", a.file, "File, or - for standard output")->required();
    line.setAction(*exportCommand, [arguments] { return defaultsExport(arguments->domain, arguments->file); });

    auto* importCommand = defaults->add_subcommand("import", "Replace a domain with the XML or binary property list of FILE, or standard input for -");
    importCommand->add_option("domain", a.domain, "Domain")->required();
    importCommand->add_option("FILE", a.file, "File, or - for standard input")->required();
    importCommand->add_flag("--no-notify", a.isQuiet, kNoNotifyHelp);
    line.setAction(*importCommand, [arguments] { return defaultsImport(arguments->domain, arguments->file, arguments->optionsForRun()); });

    auto* readType = defaults->add_subcommand("read-type", "Print the type of a key's value");
    readType->add_option("domain", a.domain, "Domain")->required();
    readType->add_option("key", a.key, "Key")->required();
    line.setAction(*readType, [arguments] { return defaultsReadType(arguments->domain, *arguments->key); });

    auto* rename = defaults->add_subcommand("rename", "Rename a key, keeping its value");
    rename->add_option("domain", a.domain, "Domain")->required();
    rename->add_option("old", a.key, "The key")->required();
    rename->add_option("new", a.newKey, "Its new name")->required();
    rename->add_flag("--no-notify", a.isQuiet, kNoNotifyHelp);
    line.setAction(*rename, [arguments] { return defaultsRename(arguments->domain, *arguments->key, arguments->newKey, arguments->optionsForRun()); });

    for (auto* command : { read, write, remove, domains, find, exportCommand, importCommand, readType, rename })
        line.addRootOption(*command);
    for (auto* command : { read, write, remove, readType, rename })
        line.completeArguments(*command, { CompletionSource::Domains, CompletionSource::Keys });
    for (auto* command : { exportCommand, importCommand })
        line.completeArguments(*command, { CompletionSource::Domains });
}
