#pragma once

// `menutone defaults`: reading and editing a preferences domain of the root,
// in the manner of the `defaults` tool of Apple's systems.

#include <string>
#include <vector>

#include "ExitStatus.h"

struct DefaultsOptions {
    bool isJSON { false };
    bool isResolved { false };
    bool shouldNotify { true };
};

ExitStatus defaultsRead(const std::string& domain, const std::string* key, const DefaultsOptions&);
// arguments: KEY [-bool|-int|-float|-string|-data|-date|-color] VALUE, KEY -array|-array-add VALUE...,
// or KEY -dict|-dict-add KEY VALUE...; values may carry a type as above.
ExitStatus defaultsWrite(const std::string& domain, const std::vector<std::string>& arguments, const DefaultsOptions&);
ExitStatus defaultsDelete(const std::string& domain, const std::string* key, const DefaultsOptions&);
// Every domain as one dictionary, as `defaults read` with no domain prints it.
ExitStatus defaultsReadAll(const DefaultsOptions&);
ExitStatus defaultsDomains();
// The keys whose name or strings contain the word, ignoring case, domain by domain.
ExitStatus defaultsFind(const std::string& word);
// XML to a file, or standard output for "-".
ExitStatus defaultsExport(const std::string& domain, const std::string& destination);
// An XML or binary dictionary from a file, or standard input for "-", replacing the domain.
ExitStatus defaultsImport(const std::string& domain, const std::string& source, const DefaultsOptions&);
ExitStatus defaultsReadType(const std::string& domain, const std::string& key);
// For completion: the domains of the root, and the keys a domain has or, for
// Menutone's, may have. Quiet: nothing on stderr, none for an unreadable one.
std::vector<std::string> defaultsDomainNames();
std::vector<std::string> defaultsKeyNames(const std::string& domain);

ExitStatus defaultsRename(const std::string& domain, const std::string& oldKey, const std::string& newKey, const DefaultsOptions&);
