#include "cli/CliCommand.h"
#include "demosuite/EntmeterStandIn.h"

#include <cstdio>

// Called by the demo suite's entmeter script, from the suite folder.
int runEntmeterStandInCommand(const CliContext& context)
{
    if (!context.args.isEmpty())
        return cliUsageError(QStringLiteral("entmeter-stand-in takes no arguments, not %1").arg(context.args.first()));
    if (context.home.isEmpty())
        return cliNoSuiteFolder();
    const EntmeterStandIn::Result result = EntmeterStandIn::run(context.home);
    if (!result.outcome)
        return cliFailure(result.outcome.message());
    std::printf("%d charge(s) computed\n", result.chargesWritten);
    return CliExit::Ok;
}
