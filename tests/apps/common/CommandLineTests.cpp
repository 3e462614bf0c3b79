// The completion scripts made from a command's definitions, run in the real
// shells (bash, zsh and fish each complete a few command lines), and the
// closest-word suggestion for a mistyped subcommand.

#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
#include <common/CommandLine.h>

#include "TestSupport.h"

namespace {

// A command shaped as ours are: nested subcommands, options with and without
// values, and a positional.
struct ToyCommand {
    ToyCommand()
    {
        app.add_option("--root", root, "Device root");
        auto* defaults = app.add_subcommand("defaults", "Read and edit a domain");
        auto* read = defaults->add_subcommand("read", "Print a domain");
        read->add_option("domain", domain);
        read->add_option("key", domain);
        read->add_flag("--json", isJSON, "Print JSON");
        auto* write = defaults->add_subcommand("write", "Set one key: DOMAIN KEY VALUE");
        write->allow_extras();
        sources.byCommand[read] = { "domains", "keys" };
        sources.byCommand[write] = { "domains", "keys" };
        sources.forwardedOption = "--root";
        auto* preview = app.add_subcommand("preview", "Draw the menu");
        preview->add_option("-o,--output", domain, "PNG file");
        preview->add_flag("--json", isJSON, "Print JSON");
        preview->add_option("--format", domain, "Colour text")->check(CLI::IsMember({ "hex", "rgb" }));
        app.add_subcommand("completion", "A script")->add_option("SHELL", domain, "The shell")->check(CLI::IsMember({ "bash", "fish", "zsh" }));
    }

    CLI::App app { "toy" };
    CompletionSources sources;
    std::string root, domain;
    bool isJSON { false };
};

bool hasShell(const char* shell)
{
    return runCommand(std::string("command -v ") + shell + " >/dev/null").status == 0;
}

// What the shell offers for the words typed so far (the last one being completed).
std::string completions(Shell shell, const std::string& typed)
{
    ToyCommand toy;
    TemporaryFolder folder;
    auto script = folder.path() / "script";
    writeBytes(script, completionScript(toy.app, "toy", shell, toy.sources));
    // The command itself, as the scripts ask it for a source's words.
    auto command = folder.path() / "command";
    if (shell == Shell::Fish)
        writeBytes(command,
            "function toy\n switch \"$argv\"\n case '--root /r __complete domains *'\n echo rooted\n"
            " case '__complete domains *'\n printf '%s\\n' com.a com.b\n case '__complete keys com.a'\n printf '%s\\n' alpha beta\n end\nend\n");
    else
        writeBytes(command,
            "toy() { case \"$*\" in '--root /r __complete domains '*) echo rooted;; '__complete domains '*) printf '%s\\n' com.a com.b;;"
            " '__complete keys com.a') printf '%s\\n' alpha beta;; esac; }\n");
    std::string quotedScript = "'" + command.string() + "'; source '" + script.string() + "'";
    switch (shell) {
    case Shell::Bash:
        return runCommand("bash -c 'source " + quotedScript + "; COMP_WORDS=(" + typed + "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); " + "[[ \"" + typed
            + "\" == *\" \" ]] && { COMP_WORDS+=(\"\"); COMP_CWORD=$((COMP_CWORD + 1)); }; _toy; echo \"${COMPREPLY[*]}\"'")
            .output;
    case Shell::Zsh:
        // Stand-ins for compsys's _describe (which offers the names matching the word) and _files.
        return runCommand("zsh -c 'compdef() {}; _describe() { local -a m; local c; for c in \"${(@P)4}\"; do [[ ${c%%:*} == ${words[CURRENT]}* ]] && "
                          "m+=(${c%%:*}); done; print -rn -- \"${(j: :)m}\" }; _files() { print -n FILES }; source "
            + quotedScript + "; words=(" + typed + "); [[ \"" + typed + "\" == *\" \" ]] && words+=(\"\"); CURRENT=${#words}; _toy; echo'")
            .output;
    case Shell::Fish:
        return runCommand("fish -c 'source " + quotedScript + "; complete -C \"" + typed + "\" | string replace -r \"\\t.*\" \"\" | string join \" \"'").output;
    }
    return {};
}

}

TEST(CompletionScript, EachShellOffersTheSubcommandsAndOptionsAtTheDepthTyped)
{
    struct Case {
        Shell shell;
        const char* name;
    };
    for (auto [shell, name] : { Case { Shell::Bash, "bash" }, Case { Shell::Zsh, "zsh" }, Case { Shell::Fish, "fish" } }) {
        if (!hasShell(name)) {
            ADD_FAILURE() << name << " is not installed (scripts/install-deps installs it)";
            continue;
        }
        SCOPED_TRACE(name);
        EXPECT_EQ(completions(shell, "toy de"), "defaults\n");
        EXPECT_EQ(completions(shell, "toy --root /some/where defaults w"), "write\n") << "the value of --root is not a subcommand";
        EXPECT_EQ(completions(shell, "toy preview --j"), "--json\n");
        // The values a check allows, for an option's value and for a positional.
        EXPECT_EQ(completions(shell, "toy preview --format "), "hex rgb\n");
        EXPECT_EQ(completions(shell, "toy preview --format r"), "rgb\n");
        EXPECT_EQ(completions(shell, "toy completion f"), "fish\n");
        // Words from the command: the domains, then the keys of the domain
        // before, past flags and -g; a typed --root is passed on.
        EXPECT_EQ(completions(shell, "toy defaults read "), "com.a com.b\n");
        EXPECT_EQ(completions(shell, "toy defaults read --json com."), "com.a com.b\n");
        EXPECT_EQ(completions(shell, "toy defaults write com.a "), "alpha beta\n");
        EXPECT_EQ(completions(shell, "toy defaults read com.a b"), "beta\n");
        EXPECT_EQ(completions(shell, "toy --root /r defaults read "), "rooted\n");
    }
}

TEST(CompletionScript, AllThreeShellsReadTheScriptsWithoutComplaint)
{
    ToyCommand toy;
    TemporaryFolder folder;
    for (auto [shell, check] : { std::pair(Shell::Bash, "bash -n"), std::pair(Shell::Zsh, "zsh -n"), std::pair(Shell::Fish, "fish -n") }) {
        writeBytes(folder.path() / "script", completionScript(toy.app, "toy", shell, toy.sources));
        auto result = runCommand(std::string(check) + " '" + (folder.path() / "script").string() + "'");
        EXPECT_EQ(result.status, 0) << check << ": " << result.output;
    }
}

TEST(ClosestWord, ASwapOrASlipIsForgivenAndAStrangerIsNot)
{
    std::vector<std::string> verbs { "defaults", "notify", "preview", "settings", "simulator", "root" };
    EXPECT_EQ(closestWord("defualts", verbs), "defaults");
    EXPECT_EQ(closestWord("preveiw", verbs), "preview");
    EXPECT_EQ(closestWord("setings", verbs), "settings");
    EXPECT_EQ(closestWord("rot", verbs), "root");
    EXPECT_EQ(closestWord("xyzzy", verbs), std::nullopt);
    EXPECT_EQ(closestWord("", verbs), std::nullopt);
}

TEST(ParseCommandLine, AMistypedSubcommandIsNamedWithTheClosestAtItsDepth)
{
    for (auto [arguments, expected] : {
             std::pair<std::vector<const char*>, const char*>({ "toy", "defualts" }, "toy: unknown subcommand 'defualts'; did you mean 'defaults'?\n"),
             std::pair<std::vector<const char*>, const char*>(
                 { "toy", "--root", "defaults", "defaults", "raed" }, "toy: unknown subcommand 'raed'; did you mean 'read'?\n"),
             std::pair<std::vector<const char*>, const char*>({ "toy", "zzz" }, "toy: unknown subcommand 'zzz'\n"),
         }) {
        ToyCommand toy;
        testing::internal::CaptureStderr();
        auto status = parseCommandLine(toy.app, "toy", static_cast<int>(arguments.size()), const_cast<char**>(arguments.data()), 64);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), expected);
        EXPECT_EQ(status, 64);
    }
}

TEST(ManPage, EverySubcommandIsLaidOutAndGroffFindsNothingWrong)
{
    ToyCommand toy;
    ManPageText text { "a toy - with a dash", { { 0, "Success." }, { 2, "Usage." } }, "[EXAMPLES]\n.nf\ntoy defaults read\n.fi\n" };
    std::string page = manPage(toy.app, "toy", text);
    for (const char* heading : { ".SS \"toy defaults SUBCOMMAND\"", ".SS \"toy defaults read [DOMAIN] [KEY]\"", ".SS \"toy defaults write\"",
             ".SS \"toy preview\"", ".SH \"EXIT STATUS\"", ".SH \"EXAMPLES\"" })
        EXPECT_NE(page.find(heading), std::string::npos) << heading << " in\n" << page;
    EXPECT_NE(page.find("toy \\- a toy \\- with a dash"), std::string::npos) << "hyphens escaped";

    if (runCommand("command -v groff >/dev/null").status != 0)
        GTEST_SKIP() << "groff is not installed";
    TemporaryFolder folder;
    writeBytes(folder.path() / "toy.1", page);
    // Each option its own paragraph, the value apart from the name.
    auto shown = runCommand("LC_ALL=C.UTF-8 groff -man -Tutf8 -P-cbou -rLL=80n '" + (folder.path() / "toy.1").string() + "' 2>&1");
    EXPECT_NE(shown.output.find("-o, --output TEXT\n"), std::string::npos) << shown.output;
    EXPECT_NE(shown.output.find("EXIT STATUS\n       0      Success."), std::string::npos) << shown.output;
    auto warnings = runCommand("LC_ALL=C.UTF-8 groff -man -ww -z '" + (folder.path() / "toy.1").string() + "' 2>&1");
    EXPECT_EQ(warnings.output, "");
}
