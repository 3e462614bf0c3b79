#pragma once

// `menutone defaults`: reading and editing a preferences domain of the root,
// in the manner of the `defaults` tool of Apple's systems.

#include <string>
#include <vector>

enum class ExitStatus : int { Success = 0, Failure = 1, Usage = 2 };

struct DefaultsOptions {
    bool isJSON { false };
    bool isResolved { false };
    bool shouldNotify { true };
};

ExitStatus defaultsRead(const std::string& domain, const std::string* key, const DefaultsOptions&);
// arguments: KEY [-bool|-int|-float|-string|-data|-color] VALUE
ExitStatus defaultsWrite(const std::string& domain, const std::vector<std::string>& arguments, const DefaultsOptions&);
ExitStatus defaultsDelete(const std::string& domain, const std::string* key, const DefaultsOptions&);
ExitStatus postNotification(const std::string& name);
// Prints each delivery of the name; ends after count deliveries (0: never) or
// with a failure when timeoutSeconds pass first (0: never).
ExitStatus waitForNotification(const std::string& name, unsigned count, double timeoutSeconds);
