#include "CommandLine.h"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <map>
#include <sstream>

#include <CLI/CLI.hpp>

#include "FileArgument.h"

namespace {

using Choices = std::map<std::string, std::vector<std::string>>;

struct Word {
    std::string text;
    std::string description;
};

std::vector<const CLI::App*> subcommandsOf(const CLI::App& command)
{
    // A subcommand in no group is the scripts' own (__complete): not offered.
    return command.get_subcommands([](const CLI::App* subcommand) { return !subcommand->get_name().empty() && !subcommand->get_group().empty(); });
}

// "--output" and "-o": the ways an option is written.
std::vector<std::string> spellingsOf(const CLI::Option& option)
{
    std::vector<std::string> spellings;
    for (auto& name : option.get_lnames())
        spellings.push_back("--" + name);
    for (auto& name : option.get_snames())
        spellings.push_back("-" + name);
    return spellings;
}

// The values a check allows ("TEXT:{hex,rgb,hsl}" gives hex, rgb and hsl); none for any value.
std::vector<std::string> choicesOf(const CLI::Option& option)
{
    std::string type = option.get_type_name();
    auto open = type.find('{');
    auto close = type.find('}', open);
    std::vector<std::string> choices;
    if (open == std::string::npos || close == std::string::npos)
        return choices;
    std::istringstream list(type.substr(open + 1, close - open - 1));
    for (std::string choice; std::getline(list, choice, ',');)
        if (!choice.empty())
            choices.push_back(choice);
    return choices;
}

// What a script is made from.
struct CompletionTable {
    // Every subcommand path ("", "defaults", "defaults read", ...) with the
    // words that may follow it.
    std::map<std::string, std::vector<Word>> words;
    // Options that take a value, whose next word is not a subcommand.
    std::vector<std::string> valued;
    // Every option's spellings, so the scripts can count positionals.
    std::vector<std::string> options;
    // The values each option allows, by spelling ("--format": hex rgb hsl json).
    Choices choices;
    // "defaults read#1": the source of the second argument of defaults read.
    std::map<std::string, std::string> sources;
    std::string forwardedOption;
};

// The subcommand's words: its subcommands, the values its positionals allow,
// then its options; and where its arguments come from a source.
void collectWords(const CLI::App& command, const std::string& path, const CompletionSources& sources, CompletionTable& table)
{
    if (auto found = sources.byCommand.find(&command); found != sources.byCommand.end())
        for (std::size_t position = 0; position < found->second.size(); ++position)
            if (!found->second[position].empty())
                table.sources[(path.empty() ? "." : path) + "#" + std::to_string(position)] = found->second[position];
    auto& words = table.words[path];
    for (auto* option : command.get_options())
        if (!option->nonpositional())
            for (auto& choice : choicesOf(*option))
                words.push_back({ choice, option->get_description() });
    for (auto* subcommand : subcommandsOf(command)) {
        words.push_back({ subcommand->get_name(), subcommand->get_description() });
        collectWords(*subcommand, path.empty() ? subcommand->get_name() : path + " " + subcommand->get_name(), sources, table);
    }
    for (auto* option : command.get_options())
        for (auto& spelling : spellingsOf(*option)) {
            table.words[path].push_back({ spelling, option->get_description() });
            table.options.push_back(spelling);
        }
}

// Options that take a value, whose next word is not a subcommand.
std::vector<std::string> optionsWithValues(const CLI::App& command)
{
    std::vector<std::string> names;
    for (auto* option : command.get_options())
        if (option->get_items_expected_min() > 0 && option->nonpositional())
            for (auto& spelling : spellingsOf(*option))
                names.push_back(spelling);
    for (auto* subcommand : subcommandsOf(command))
        for (auto& name : optionsWithValues(*subcommand))
            names.push_back(name);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

// The values each option that takes one allows, by spelling ("--format": hex rgb hsl json).
void collectOptionChoices(const CLI::App& command, Choices& table)
{
    for (auto* option : command.get_options()) {
        if (!option->nonpositional())
            continue;
        for (auto& choice : choicesOf(*option))
            for (auto& spelling : spellingsOf(*option))
                if (std::find(table[spelling].begin(), table[spelling].end(), choice) == table[spelling].end())
                    table[spelling].push_back(choice);
    }
    for (auto* subcommand : subcommandsOf(command))
        collectOptionChoices(*subcommand, table);
}

std::string shellQuoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string identifier(const std::string& program)
{
    std::string out;
    for (char c : program)
        out += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return out;
}

std::string joined(const std::vector<std::string>& words)
{
    std::string out;
    for (auto& word : words)
        out += (out.empty() ? "" : " ") + word;
    return out;
}

std::string bashScript(const CompletionTable& table, const std::string& program)
{
    std::string name = "_" + identifier(program);
    std::ostringstream out;
    out << "# bash completion for " << program << "; made by `" << program << " completion bash`.\n"
        << name << "() {\n"
        << "    local -A words=(\n";
    for (auto& [place, words] : table.words) {
        std::vector<std::string> texts;
        for (auto& word : words)
            texts.push_back(word.text);
        out << "        [" << shellQuoted(place.empty() ? "." : place) << "]=" << shellQuoted(joined(texts)) << "\n";
    }
    out << "    )\n"
        << "    local -A values=(\n";
    for (auto& [spelling, list] : table.choices)
        out << "        [" << shellQuoted(spelling) << "]=" << shellQuoted(joined(list)) << "\n";
    out << "    )\n"
        << "    local -A sources=(\n";
    for (auto& [position, source] : table.sources)
        out << "        [" << shellQuoted(position) << "]=" << shellQuoted(source) << "\n";
    out << "    )\n"
        << "    local valued=" << shellQuoted(" " + joined(table.valued) + " ") << " options=" << shellQuoted(" " + joined(table.options) + " ") << "\n"
        << "    local place=\"\" word i count=0 forwarded=()\n"
        << "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
        << "        word=${COMP_WORDS[i]}\n"
        << "        if [[ $valued == *\" $word \"* ]]; then\n"
        << "            [[ $word == " << shellQuoted(table.forwardedOption) << " ]] && forwarded=(\"$word\" \"${COMP_WORDS[i+1]}\")\n"
        << "            ((i++)); continue\n"
        << "        fi\n"
        << "        [[ $options == *\" $word \"* ]] && continue\n"
        << "        local next=${place:+$place }$word\n"
        << "        if [[ -n ${words[$next]+set} ]]; then place=$next; count=0; else count=$((count + 1)); fi\n"
        << "    done\n"
        << "    local current=${COMP_WORDS[COMP_CWORD]} previous=${COMP_WORDS[COMP_CWORD-1]}\n"
        << "    if [[ -n ${values[$previous]+set} ]]; then COMPREPLY=($(compgen -W \"${values[$previous]}\" -- \"$current\")); return; fi\n"
        << "    if [[ $valued == *\" $previous \"* ]]; then COMPREPLY=($(compgen -f -- \"$current\")); return; fi\n"
        << "    local source=${sources[${place:-.}#$count]}\n"
        << "    if [[ -n $source && $current != -* ]]; then\n"
        << "        local found\n"
        << "        found=$(" << program << " \"${forwarded[@]}\" " << kCompleteSubcommand << " \"$source\" \"$previous\" 2>/dev/null)\n"
        << "        local IFS=$'\\n'\n"
        << "        COMPREPLY=($(compgen -W \"$found\" -- \"$current\"))\n"
        << "        return\n"
        << "    fi\n"
        << "    COMPREPLY=($(compgen -W \"${words[${place:-.}]}\" -- \"$current\"))\n"
        << "    [[ ${#COMPREPLY[@]} -eq 0 && $current != -* ]] && COMPREPLY=($(compgen -f -- \"$current\"))\n"
        << "}\n"
        << "complete -o filenames -F " << name << " " << program << "\n";
    return out.str();
}

std::string zshScript(const CompletionTable& table, const std::string& program)
{
    std::string name = "_" + identifier(program);
    std::ostringstream out;
    out << "#compdef " << program << "\n# zsh completion for " << program << "; made by `" << program << " completion zsh`.\n"
        << name << "() {\n"
        << "    local -A children\n"
        << "    children=(\n";
    for (auto& [place, words] : table.words) {
        std::string entries;
        for (auto& word : words) {
            // _describe splits at the first colon; the rest is the description.
            std::string description = word.description.substr(0, word.description.find('\n'));
            entries += (entries.empty() ? "" : "\n") + word.text + ":" + description;
        }
        out << "        " << shellQuoted(place.empty() ? "." : place) << " " << shellQuoted(entries) << "\n";
    }
    out << "    )\n"
        << "    local -A values\n"
        << "    values=(\n";
    for (auto& [spelling, list] : table.choices)
        out << "        " << shellQuoted(spelling) << " " << shellQuoted(joined(list)) << "\n";
    out << "    )\n"
        << "    local -A sources\n"
        << "    sources=(\n";
    for (auto& [position, source] : table.sources)
        out << "        " << shellQuoted(position) << " " << shellQuoted(source) << "\n";
    // Not "path": in zsh that is PATH, and the sources run the command.
    out << "    )\n"
        << "    local valued=" << shellQuoted(" " + joined(table.valued) + " ") << " options=" << shellQuoted(" " + joined(table.options) + " ") << "\n"
        << "    local place=\"\" word i count=0\n"
        << "    local -a forwarded candidates\n"
        << "    for ((i = 2; i < CURRENT; i++)); do\n"
        << "        word=${words[i]}\n"
        << "        if [[ $valued == *\" $word \"* ]]; then\n"
        << "            [[ $word == " << shellQuoted(table.forwardedOption) << " ]] && forwarded=(\"$word\" \"${words[i+1]}\")\n"
        << "            ((i++)); continue\n"
        << "        fi\n"
        << "        [[ $options == *\" $word \"* ]] && continue\n"
        << "        local next=${place:+$place }$word\n"
        << "        if (( ${+children[$next]} )); then place=$next; count=0; else count=$((count + 1)); fi\n"
        << "    done\n"
        << "    if (( ${+values[${words[CURRENT-1]}]} )); then candidates=(${=values[${words[CURRENT-1]}]}); _describe -t values value candidates; return; fi\n"
        << "    if [[ $valued == *\" ${words[CURRENT-1]} \"* ]]; then _files; return; fi\n"
        << "    local source=${sources[${place:-.}#$count]}\n"
        << "    if [[ -n $source && ${words[CURRENT]} != -* ]]; then\n"
        << "        candidates=(${(f)\"$(" << program << " \"${forwarded[@]}\" " << kCompleteSubcommand << " $source ${words[CURRENT-1]} 2>/dev/null)\"})\n"
        << "        candidates=(${candidates//:/\\\\:})\n"
        << "        _describe -t values value candidates\n"
        << "        return\n"
        << "    fi\n"
        << "    candidates=(\"${(@f)children[${place:-.}]}\")\n"
        << "    _describe -t commands '" << program << "' candidates || _files\n"
        << "}\n"
        // Autoloaded from fpath, the file is the function's first call; sourced, it registers.
        << "if [[ $funcstack[1] == " << name << " ]]; then " << name << " \"$@\"; else compdef " << name << " " << program << "; fi\n";
    return out.str();
}

std::string fishScript(const CompletionTable& table, const std::string& program)
{
    std::string at = "__" + identifier(program) + "_at";
    std::string forwarded = "__" + identifier(program) + "_forwarded";
    std::ostringstream out;
    out << "# fish completion for " << program << "; made by `" << program << " completion fish`.\n"
        << "# " << at << " PLACE [N]: the line is at that subcommand (and its Nth argument).\n"
        << "function " << at << "\n"
        << "    set -l places";
    for (auto& [place, words] : table.words)
        if (!place.empty())
            out << " " << shellQuoted(place);
    out << "\n"
        << "    set -l valued " << joined(table.valued) << "\n"
        << "    set -l options " << joined(table.options) << "\n"
        << "    set -l place ''\n"
        << "    set -l n 0\n"
        << "    set -l tokens (commandline -opc)\n"
        << "    set -l skip 0\n"
        << "    for word in $tokens[2..-1]\n"
        << "        if test $skip = 1; set skip 0; continue; end\n"
        << "        if contains -- $word $valued; set skip 1; continue; end\n"
        << "        if contains -- $word $options; continue; end\n"
        << "        set -l next (string trim -- \"$place $word\")\n"
        << "        if contains -- $next $places; set place $next; set n 0; else; set n (math $n + 1); end\n"
        << "    end\n"
        << "    test \"$place\" = \"$argv[1]\"; or return 1\n"
        << "    test (count $argv) -lt 2; or test $n = $argv[2]\n"
        << "end\n"
        << "function " << forwarded << "\n"
        << "    set -l tokens (commandline -opc)\n"
        << "    set -l i (contains -i -- " << shellQuoted(table.forwardedOption) << " $tokens); or return 0\n"
        << "    test $i -lt (count $tokens); and printf '%s\\n' $tokens[$i] $tokens[(math $i + 1)]\n"
        << "end\n"
        << "complete -c " << program << " -f\n";
    for (auto& [place, words] : table.words)
        for (auto& word : words) {
            out << "complete -c " << program << " -n " << shellQuoted(at + " " + shellQuoted(place));
            if (word.text.starts_with("--"))
                out << " -l " << word.text.substr(2);
            else if (word.text.starts_with("-"))
                out << " -s " << word.text.substr(1);
            else
                out << " -a " << shellQuoted(word.text);
            if (auto allowed = table.choices.find(word.text); allowed != table.choices.end())
                out << " -r -f -a " << shellQuoted(joined(allowed->second));
            else if (std::find(table.valued.begin(), table.valued.end(), word.text) != table.valued.end())
                out << " -r -F";
            if (!word.description.empty())
                out << " -d " << shellQuoted(word.description.substr(0, word.description.find('\n')));
            out << "\n";
        }
    for (auto& [position, source] : table.sources) {
        auto hash = position.rfind('#');
        std::string place = position.substr(0, hash) == "." ? "" : position.substr(0, hash);
        out << "complete -c " << program << " -n " << shellQuoted(at + " " + shellQuoted(place) + " " + position.substr(hash + 1)) << " -a "
            << shellQuoted("(" + program + " (" + forwarded + ") " + kCompleteSubcommand + " " + source + " (commandline -opc)[-1] 2>/dev/null)") << "\n";
    }
    return out.str();
}

// Optimal string alignment distance: Levenshtein with a swap of neighbours
// as one edit, the typo people make most ("defualts").
std::size_t editDistance(std::string_view a, std::string_view b)
{
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j) {
            std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({ d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost });
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

// The word where the arguments name no subcommand of a command that needs
// one, with that command; none when every word found its place.
std::optional<std::pair<std::string, const CLI::App*>> unknownSubcommand(const CLI::App& app, int argc, char** argv)
{
    const CLI::App* command = &app;
    auto valued = optionsWithValues(app);
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (word == "--")
            return std::nullopt;
        if (word.starts_with("-")) {
            if (word.find('=') == std::string::npos && std::binary_search(valued.begin(), valued.end(), word))
                ++i;
            continue;
        }
        auto subcommands = subcommandsOf(*command);
        if (subcommands.empty())
            return std::nullopt;
        auto found = std::find_if(subcommands.begin(), subcommands.end(), [&](auto* subcommand) { return subcommand->check_name(word); });
        if (found == subcommands.end())
            return command->get_options([](const CLI::Option* option) { return option->get_positional(); }).empty() ? std::optional(std::pair(word, command))
                                                                                                                    : std::nullopt;
        command = *found;
    }
    return std::nullopt;
}

}

std::optional<Shell> shellNamed(std::string_view name)
{
    if (name == "bash")
        return Shell::Bash;
    if (name == "zsh")
        return Shell::Zsh;
    if (name == "fish")
        return Shell::Fish;
    return std::nullopt;
}

std::string completionScript(const CLI::App& app, const std::string& program, Shell shell, const CompletionSources& sources)
{
    CompletionTable table;
    collectWords(app, "", sources, table);
    table.valued = optionsWithValues(app);
    std::sort(table.options.begin(), table.options.end());
    table.options.erase(std::unique(table.options.begin(), table.options.end()), table.options.end());
    collectOptionChoices(app, table.choices);
    table.forwardedOption = sources.forwardedOption;
    switch (shell) {
    case Shell::Bash:
        return bashScript(table, program);
    case Shell::Zsh:
        return zshScript(table, program);
    case Shell::Fish:
        return fishScript(table, program);
    }
    return {};
}

std::optional<std::string> closestWord(std::string_view word, const std::vector<std::string>& candidates)
{
    std::optional<std::string> best;
    std::size_t bestDistance = std::max<std::size_t>(2, word.size() / 3) + 1;
    for (auto& candidate : candidates) {
        std::size_t distance = editDistance(word, candidate);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
    }
    return best;
}

std::optional<int> parseCommandLine(CLI::App& app, const std::string& program, int argc, char** argv, int usageStatus, const ManPageText& manText)
{
    if (argc == 3 && std::string_view(argv[1]) == "--man-page") {
        auto sections = readFileArgument(argv[2]);
        if (!sections) {
            std::cerr << program << ": " << argv[2] << " " << sections.error().message << "\n";
            return usageStatus;
        }
        ManPageText text = manText;
        text.extraSections.assign(sections->begin(), sections->end());
        std::cout << manPage(app, program, text);
        return 0;
    }
    // No arguments at all: the usage, as a person trying the command expects.
    if (argc <= 1) {
        std::cout << app.help();
        return 0;
    }
    try {
        app.parse(argc, argv);
        return std::nullopt;
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0)
            return app.exit(error);
        if (auto unknown = unknownSubcommand(app, argc, argv)) {
            auto& [word, command] = *unknown;
            std::vector<std::string> names;
            for (auto* subcommand : subcommandsOf(*command))
                names.push_back(subcommand->get_name());
            std::cerr << program << ": unknown subcommand '" << word << "'";
            if (auto closest = closestWord(word, names))
                std::cerr << "; did you mean '" << *closest << "'?";
            std::cerr << "\n";
            return usageStatus;
        }
        std::string message = error.what();
        std::cerr << program << ": " << message.substr(0, message.find('\n')) << "\n";
        return usageStatus;
    }
}
