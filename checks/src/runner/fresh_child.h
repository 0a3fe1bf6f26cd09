// A check's child that becomes a fresh process: the forked child execs this
// program in its one-check mode, under valgrind's memcheck or alone (see
// child_session.h), reports through the same pipe and leaves its child
// record in a shared memory file (and memcheck's XML in another); the parent
// reads both once the child has stopped. Everything the exec needs is made
// before the fork, so the child between fork and exec takes no lock.
#pragma once

#include "runner/check_result.h"
#include "runner/child_record.h"

#include <checks/check.h>

#include <memory>
#include <string>
#include <vector>

namespace checks::runner {

class FreshChild {
public:
    // Null when the run forks plain children.
    static std::unique_ptr<FreshChild> ForThisRun(const std::string& checkName, const SuiteOptions& options,
                                                  int frameFd);

    FreshChild(const std::string& checkName, const SuiteOptions& options, int frameFd);
    ~FreshChild();
    FreshChild(const FreshChild&) = delete;
    FreshChild& operator=(const FreshChild&) = delete;

    // In the forked child: becomes the one-check process. On failure says
    // why through the frame pipe and exits.
    [[noreturn]] void Exec() const;

    // In the parent, once the child has stopped: the child's record into
    // record, and under memcheck each error with a frame in the component
    // into result as a failure.
    void AddFindings(CheckResult& result, ChildRecord& record, const std::string& componentPath) const;

private:
    int m_frameFd;
    int m_xmlFd = -1;
    int m_recordFd = -1;
    ChildRecord* m_record = nullptr;
    std::vector<std::string> m_words;  // the exec's arguments; empty when the files could not be made
    std::vector<char*> m_argv;
    std::string m_failureFrame;  // what the child sends should the exec fail
};

// The one-check process's side of the record: the shared file mapped, or
// null when fd is not one.
ChildRecord* MapChildRecord(int fd);

}  // namespace checks::runner
