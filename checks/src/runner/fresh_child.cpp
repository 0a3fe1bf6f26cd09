#include "runner/fresh_child.h"

#include "runner/memcheck_findings.h"
#include "runner/child_session.h"
#include "runner/descriptor_io.h"
#include "runner/one_check_main.h"
#include "runner/report_frames.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace checks::runner {

std::unique_ptr<FreshChild> FreshChild::ForThisRun(const std::string& checkName, const SuiteOptions& options,
                                                   int frameFd)
{
    return ActiveChildSession() ? std::make_unique<FreshChild>(checkName, options, frameFd) : nullptr;
}

FreshChild::FreshChild(const std::string& checkName, const SuiteOptions& options, int frameFd) : m_frameFd(frameFd)
{
    const ChildSession& session = *ActiveChildSession();
    const bool memcheck = !session.valgrind.empty();
    const char* what = memcheck ? "tarvel-check could not run the check under memcheck: "
                                : "tarvel-check could not run the check in a process of its own: ";
    if (memcheck)
        m_xmlFd = memfd_create("tarvel-memcheck-xml", MFD_CLOEXEC);
    m_recordFd = memfd_create("tarvel-child-record", MFD_CLOEXEC);
    if ((memcheck && m_xmlFd < 0) || m_recordFd < 0 || ftruncate(m_recordFd, sizeof(ChildRecord)) != 0) {
        m_failureFrame = EncodeFrame(
            FrameKind::Fail, std::string(what) + "cannot make the files it reports into: " + std::strerror(errno));
        return;
    }
    m_record = MapChildRecord(m_recordFd);
    if (!m_record) {
        m_failureFrame =
            EncodeFrame(FrameKind::Fail, std::string(what) + "cannot map the child record: " + std::strerror(errno));
        return;
    }
    if (memcheck) {
        m_words = {session.valgrind,
                   "--tool=memcheck",
                   "-q",
                   "--xml=yes",
                   "--xml-fd=" + std::to_string(m_xmlFd),
                   "--leak-check=full",
                   "--show-leak-kinds=definite,indirect",
                   "--errors-for-leak-kinds=definite,indirect",
                   "--num-callers=40",
                   "--child-silent-after-fork=yes"};
        if (!session.suppressions.empty())
            m_words.push_back("--suppressions=" + session.suppressions);
    }
    m_words.push_back(session.executable);
    for (std::string& word : OneCheckArguments(checkName, options, session.dataDir, frameFd, m_recordFd))
        m_words.push_back(std::move(word));
    for (std::string& word : m_words)
        m_argv.push_back(word.data());
    m_argv.push_back(nullptr);
    m_failureFrame = EncodeFrame(FrameKind::Fail, std::string(what) + "cannot start " + m_words.front());
}

FreshChild::~FreshChild()
{
    if (m_record)
        munmap(m_record, sizeof(ChildRecord));
    for (const int fd : {m_xmlFd, m_recordFd})
        if (fd >= 0)
            close(fd);
}

void FreshChild::Exec() const
{
    if (!m_argv.empty()) {
        // Only these of the checker's descriptors cross the exec.
        for (const int fd : {m_frameFd, m_xmlFd, m_recordFd})
            if (fd >= 0)
                fcntl(fd, F_SETFD, 0);
        execv(m_argv.front(), m_argv.data());
    }
    WriteFrameBytes(m_frameFd, m_failureFrame);
    _exit(127);
}

void FreshChild::AddFindings(CheckResult& result, ChildRecord& record, const std::string& componentPath) const
{
    if (m_record)
        record = *m_record;
    if (m_xmlFd < 0)
        return;
    // valgrind wrote through the same open file, so read it from the start.
    std::string xml;
    lseek(m_xmlFd, 0, SEEK_SET);
    ReadAll(m_xmlFd, [&](const char* bytes, std::size_t count) { xml.append(bytes, count); });
    const MemcheckFindings findings = JudgeMemcheckErrors(ParseMemcheckXml(xml), componentPath);
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
