#include "comm/LoggerWalk.h"

#include "comm/JobControl.h"
#include "comm/JobHost.h"
#include "core/JobCodes.h"

void RunLoggerWalk(IJobHost& host, TLoggerWalk& walk)
{
    JobControl& jobs = host.Jobs();
    int index = 0;
    bool useRetry = false;
    bool discardNext = false;
    bool missed = false;
    while (true) {
        const TWalkRequest kind = index == 0 ? TWalkRequest::First
                                  : useRetry ? TWalkRequest::AfterMiss
                                             : TWalkRequest::Next;
        useRetry = false;
        if (!walk.Send(index, kind, walk.Count)) {
            if (EndCancelledJobAfterMiss(host)) return;
            if (missed) {
                jobs.SetJob(jcIdle);
                jobs.SetUiRequest(urNoAnswer);
                return;
            }
            missed = true;
            if (index > 0) {
                useRetry = true;
                discardNext = walk.DiscardAfterMiss;
            }
        } else {
            missed = false;
            if (discardNext) {
                discardNext = false;
            } else {
                const bool end = walk.EndTest(index, walk.Count);
                walk.Parse(index, walk.Count, end);
                if (index >= walk.Count - 1) {
                    jobs.SetJob(jcIdle);
                    jobs.SetUiRequest(walk.DoneCode);
                    return;
                }
                ++index;
            }
        }
        if (jobs.GetJob() == jcIdle) {
            jobs.SetUiRequest(urJobCancelled);
            return;
        }
    }
}
