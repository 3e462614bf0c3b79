#pragma once

// A test of menutone subcommands on a root of their own, laid out by
// `menutone root create` as a user's is.

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"

class RootCommandTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(runCommand(std::string(MENUTONE_COMMAND) + " root create '" + m_root.path().string() + "'").status, 0); }

    // menutone with the arguments, on this root.
    CommandResult menutone(const std::string& arguments) const
    {
        return runCommand(std::string(MENUTONE_COMMAND) + " --root '" + m_root.path().string() + "' " + arguments);
    }

    TemporaryRoot m_root;
};
