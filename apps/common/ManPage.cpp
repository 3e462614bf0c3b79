#include "ManPage.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include <CLI/CLI.hpp>

namespace {

// Text as roff shows it: backslashes and hyphens escaped, and no line that
// starts with a control character.
std::string roff(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\''))
        out.insert(0, "\\&");
    return out;
}

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// "-o, --output FILE": every spelling, then the value it takes.
std::string optionTerm(const CLI::Option& option)
{
    std::string term;
    for (auto& name : option.get_snames())
        term += (term.empty() ? "" : ", ") + std::string("\\fB\\-") + roff(name) + "\\fR";
    for (auto& name : option.get_lnames())
        term += (term.empty() ? "" : ", ") + std::string("\\fB\\-\\-") + roff(name) + "\\fR";
    if (option.get_items_expected_min() > 0) {
        std::string type = option.get_type_name();
        term += " \\fI" + roff(type.empty() ? "VALUE" : type) + "\\fR";
    }
    return term;
}

void writeCommand(std::ostringstream& out, const CLI::App& command, const std::string& path)
{
    auto subcommands = command.get_subcommands([](const CLI::App* subcommand) { return !subcommand->get_name().empty(); });
    std::vector<const CLI::Option*> positionals, options;
    for (auto* option : command.get_options()) {
        if (option->get_lnames().size() == 1 && (option->get_lnames()[0] == "help" || option->get_lnames()[0] == "help-all"))
            continue;
        (option->nonpositional() ? options : positionals).push_back(option);
    }
    out << ".SS \"" << roff(path);
    for (auto* positional : positionals)
        out << " " << (positional->get_required() ? "" : "[") << roff(upper(positional->get_name())) << (positional->get_required() ? "" : "]");
    if (!subcommands.empty())
        out << " SUBCOMMAND";
    out << "\"\n" << roff(command.get_description()) << "\n";
    for (auto* positional : positionals)
        out << ".TP\n\\fI" << roff(upper(positional->get_name())) << "\\fR\n" << roff(positional->get_description()) << "\n";
    for (auto* option : options)
        out << ".TP\n" << optionTerm(*option) << "\n" << roff(option->get_description()) << "\n";
    for (auto* subcommand : subcommands)
        writeCommand(out, *subcommand, path + " " + subcommand->get_name());
}

}

std::string manPage(const CLI::App& app, const std::string& program, const ManPageText& text)
{
    std::ostringstream out;
    out << ".TH " << upper(program) << " 1 \"\" \"\" \"User Commands\"\n"
        << ".SH NAME\n"
        << program << " \\- " << roff(text.summary) << "\n"
        << ".SH SYNOPSIS\n"
        << ".B " << program << "\n[\\fIOPTIONS\\fR] \\fISUBCOMMAND\\fR ...\n"
        << ".SH DESCRIPTION\n"
        << roff(app.get_description()) << "\n"
        << ".SH OPTIONS\n";
    for (auto* option : app.get_options()) {
        if (option->nonpositional())
            out << ".TP\n" << optionTerm(*option) << "\n" << roff(option->get_description()) << "\n";
    }
    out << ".SH SUBCOMMANDS\n";
    for (auto* subcommand : app.get_subcommands([](const CLI::App* subcommand) { return !subcommand->get_name().empty(); }))
        writeCommand(out, *subcommand, program + " " + subcommand->get_name());
    out << ".SH \"EXIT STATUS\"\n";
    for (auto& [status, meaning] : text.exitStatuses)
        out << ".TP\n.B " << status << "\n" << roff(meaning) << "\n";
    std::istringstream extras(text.extraSections);
    for (std::string line; std::getline(extras, line);) {
        if (line.size() > 2 && line.front() == '[' && line.back() == ']')
            out << ".SH \"" << line.substr(1, line.size() - 2) << "\"\n";
        else if (!line.empty())
            out << line << "\n";
    }
    return out.str();
}
