#include "zcmd/ScriptLimits.h"

#include "zcmd/Output.h"
#include "zcmd/Session.h"

#include <string>

namespace zcmd {

int ScriptLimits::refuseLongLine(Session &session)
{
    Output::errLine("The input line is too long.");
    session.errorLevel = 1;
    return 1;
}

bool ScriptLimits::refuseDeeperNesting(Session &session)
{
    if (session.batchNesting < kMaxBatchNesting)
        return false;
    // As on Windows, the whole batch processing is given up, not just the call.
    Output::errLine("******  B A T C H   R E C U R S I O N  exceeds STACK limits ******");
    Output::errLine("Recursion Count=" + std::to_string(session.batchNesting)
                    + ", Stack Usage=90 percent");
    Output::errLine("******       B A T C H   PROCESSING IS   A B O R T E D      ******");
    session.errorLevel = 1;
    session.exitCode = 1;
    session.flow = Flow::LeaveProgram;
    return true;
}

} // namespace zcmd
