// A check's child under valgrind's memcheck (--memcheck): the forked child
// execs valgrind on this program in its one-check mode, reports through the
// same pipe, leaves its child record in a shared memory file and its XML in
// another; the parent reads both once the child has stopped.
#pragma once

#include "runner/check_result.h"
#include "runner/child_record.h"

#include <checks/check.h>

#include <memory>
#include <string>

namespace checks::runner {

class MemcheckChild {
public:
    // Null when the run does not use memcheck.
    static std::unique_ptr<MemcheckChild> ForThisRun();

    MemcheckChild();
    ~MemcheckChild();
    MemcheckChild(const MemcheckChild&) = delete;
    MemcheckChild& operator=(const MemcheckChild&) = delete;

    // In the forked child: becomes valgrind running check alone. On failure
    // says why through frameFd and exits.
    [[noreturn]] void Exec(const CheckDef& check, const SuiteOptions& options, int frameFd) const;

    // In the parent, once the child has stopped: the child's record into
    // record, and each memcheck error with a frame in the component into
    // result as a failure.
    void AddFindings(CheckResult& result, ChildRecord& record, const std::string& componentPath) const;

private:
    std::string m_error;  // why the files could not be made
    int m_xmlFd = -1;
    int m_recordFd = -1;
    ChildRecord* m_record = nullptr;
};

// The one-check process's side of the record: the shared file mapped, or
// null when fd is not one.
ChildRecord* MapChildRecord(int fd);

}  // namespace checks::runner
