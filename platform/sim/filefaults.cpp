// Failures injected into the simulated drive's file operations (FileFaults in desktop.h): the
// nth call of an operation, or every call of an operation on one file. Each operation of
// files.cpp asks InjectedFailure first, so a test can fail every step of a sequence of file
// operations in turn and look at what the program left behind.
#include "platform/sim/internal.h"

namespace sim
{

void FileFaults::FailCall(FileOperation operation, int64_t nth, DWORD error)
{
    failures.push_back(Failure{operation, calls[operation] + nth, "", error});
}

void FileFaults::FailEvery(FileOperation operation, const std::string &windowsPath, DWORD error)
{
    failures.push_back(Failure{operation, 0, FoldCase(NormalizeWindowsPath(windowsPath)), error});
}

void FileFaults::ClearFailures()
{
    failures.clear();
}

DWORD InjectedFailure(FileOperation operation, const std::string &normalizedPath,
                      const std::string &otherNormalizedPath)
{
    FileFaults &faults = S().faults;
    ++S().fileOperations;
    int64_t call = ++faults.calls[operation];
    for (const FileFaults::Failure &failure : faults.failures) {
        if (failure.operation != operation) continue;
        bool fails = failure.call != 0 ? failure.call == call
                                       : failure.path == FoldCase(normalizedPath) ||
                                             (!otherNormalizedPath.empty() &&
                                              failure.path == FoldCase(otherNormalizedPath));
        if (fails) {
            SetLastError(failure.error);
            return failure.error;
        }
    }
    return 0;
}

} // namespace sim
