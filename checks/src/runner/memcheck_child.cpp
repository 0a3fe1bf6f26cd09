#include "runner/memcheck_child.h"

#include "runner/memcheck_findings.h"
#include "runner/memcheck_session.h"
#include "runner/one_check_main.h"
#include "runner/report_frames.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

namespace checks::runner {
namespace {

std::string ReadWhole(int fd)
{
    std::string text;
    char bytes[65536];
    for (off_t at = 0;;) {
        const ssize_t n = pread(fd, bytes, sizeof bytes, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        text.append(bytes, static_cast<std::size_t>(n));
        at += n;
    }
    return text;
}

}  // namespace

std::unique_ptr<MemcheckChild> MemcheckChild::ForThisRun()
{
    return ActiveMemcheckSession() ? std::make_unique<MemcheckChild>() : nullptr;
}

MemcheckChild::MemcheckChild()
{
    m_xmlFd = memfd_create("tarvel-memcheck-xml", MFD_CLOEXEC);
    m_recordFd = memfd_create("tarvel-child-record", MFD_CLOEXEC);
    if (m_xmlFd < 0 || m_recordFd < 0 || ftruncate(m_recordFd, sizeof(ChildRecord)) != 0) {
        m_error = std::string("cannot make the files memcheck reports into: ") + std::strerror(errno);
        return;
    }
    m_record = MapChildRecord(m_recordFd);
    if (!m_record)
        m_error = std::string("cannot map the child record: ") + std::strerror(errno);
}

MemcheckChild::~MemcheckChild()
{
    if (m_record)
        munmap(m_record, sizeof(ChildRecord));
    for (const int fd : {m_xmlFd, m_recordFd})
        if (fd >= 0)
            close(fd);
}

void MemcheckChild::Exec(const CheckDef& check, const SuiteOptions& options, int frameFd) const
{
    const MemcheckSession* session = ActiveMemcheckSession();
    std::string problem = m_error;
    if (problem.empty()) {
        // Only these three of the checker's descriptors cross the exec.
        for (const int fd : {frameFd, m_xmlFd, m_recordFd})
            fcntl(fd, F_SETFD, 0);
        std::vector<std::string> words = {session->valgrind,
                                          "--tool=memcheck",
                                          "-q",
                                          "--xml=yes",
                                          "--xml-fd=" + std::to_string(m_xmlFd),
                                          "--leak-check=full",
                                          "--show-leak-kinds=definite,indirect",
                                          "--errors-for-leak-kinds=definite,indirect",
                                          "--num-callers=40",
                                          "--child-silent-after-fork=yes"};
        if (!session->suppressions.empty())
            words.push_back("--suppressions=" + session->suppressions);
        words.push_back(session->executable);
        for (std::string& word : OneCheckArguments(check.name, options, session->dataDir, frameFd, m_recordFd))
            words.push_back(std::move(word));
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        problem = "cannot start " + session->valgrind + ": " + std::strerror(errno);
    }
    WriteFrame(frameFd, FrameKind::Fail, "tarvel-check could not run the check under memcheck: " + problem);
    _exit(127);
}

void MemcheckChild::AddFindings(CheckResult& result, ChildRecord& record, const std::string& componentPath) const
{
    if (m_record)
        record = *m_record;
    if (m_xmlFd < 0)
        return;
    const MemcheckFindings findings = JudgeMemcheckErrors(ParseMemcheckXml(ReadWhole(m_xmlFd)), componentPath);
    for (const std::string& failure : findings.failures) {
        result.verdict = Verdict::Fail;
        result.messages.push_back(failure);
    }
    if (!findings.outsideNote.empty())
        result.notes.push_back(findings.outsideNote);
}

ChildRecord* MapChildRecord(int fd)
{
    void* page = mmap(nullptr, sizeof(ChildRecord), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (page == MAP_FAILED)
        return nullptr;
    return new (page) ChildRecord();
}

}  // namespace checks::runner
