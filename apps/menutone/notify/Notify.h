#pragma once

// `menutone notify`: Darwin notifications in the device root, posted or awaited.

#include <string>

#include "ExitStatus.h"

ExitStatus postNotification(const std::string& name);
// Prints each delivery of the name; ends after count deliveries (0: never) or
// with a failure when timeoutSeconds pass first (0: never).
ExitStatus waitForNotification(const std::string& name, unsigned count, double timeoutSeconds);
