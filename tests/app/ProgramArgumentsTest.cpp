#include "app/ProgramArguments.h"

#include <gtest/gtest.h>

namespace {

using Action = ProgramArguments::Action;

TEST(ProgramArguments, OptionsAreTakenAndTheAccountTextIsKeptAsTyped)
{
    // The last column is the account text for Run and the option named for UsageError.
    // clang-format off
    const struct { QStringList arguments; Action action; QString home, commandLine; } cases[] = {
        // Account texts that start with or hold hyphens are no options.
        {{"-5678"}, Action::Run, {}, "-5678"}, {{"1234--5"}, Action::Run, {}, "1234--5"},
        {{"--5"}, Action::Run, {}, "--5"}, {{"12", "34-56"}, Action::Run, {}, "12 34-56"},
        {{"--home", "/s", "1-1"}, Action::Run, "/s", "1-1"}, {{"1-1", "--home=/s"}, Action::Run, "/s", "1-1"},
        {{"--help"}, Action::Help, {}, {}}, {{"1-1", "-h"}, Action::Help, {}, {}},
        {{"--version", "--bogus"}, Action::Version, {}, {}},
        {{"--bogus", "--help"}, Action::UsageError, {}, "--bogus"},
        {{"1-1", "--home"}, Action::UsageError, {}, "--home"},
    };
    // clang-format on
    for (const auto& c : cases) {
        const ProgramArguments parsed = ProgramArguments::parse(c.arguments);
        const std::string where = c.arguments.join(' ').toStdString();
        EXPECT_EQ(parsed.action, c.action) << where;
        EXPECT_EQ(parsed.home, c.home) << where;
        if (c.action == Action::UsageError) {
            EXPECT_TRUE(parsed.error.contains(c.commandLine)) << where << ": " << parsed.error.toStdString();
        } else if (c.action == Action::Run) {
            EXPECT_EQ(parsed.commandLine, c.commandLine) << where;
        }
    }
}

} // namespace
