// What --memcheck makes of valgrind's XML: the errors it holds, whatever the
// document looks like, and which of them fail the check, told so that a
// user sees the fault, the call in progress and the frames that matter.
#include "runner/memcheck_findings.h"
#include "runner/memcheck_xml.h"

#include <checks/rules.h>

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using checks::runner::MemcheckError;
using checks::runner::MemcheckFrame;

std::string Frame(const std::string& obj, const std::string& fn, const std::string& file = "x.cpp", int line = 7)
{
    std::string text = "<frame><ip>0x1</ip>";
    if (!obj.empty())
        text += "<obj>" + obj + "</obj>";
    if (!fn.empty())
        text += "<fn>" + fn + "</fn>";
    if (!file.empty())
        text += "<dir>/src</dir><file>" + file + "</file><line>" + std::to_string(line) + "</line>";
    return text + "</frame>";
}

std::string Document(const std::string& body)
{
    return "<?xml version=\"1.0\"?>\n<valgrindoutput>\n<protocolversion>4</protocolversion>\n"
           "<preamble><line>Memcheck</line></preamble>\n<pid>42</pid>\n" +
           body + "\n</valgrindoutput>\n";
}

// The errors in one line each: "kind|what|tid|frames|aux|auxframes|message".
std::string Shown(const std::vector<MemcheckError>& errors)
{
    std::string text;
    const auto frames = [](const std::vector<MemcheckFrame>& stack) {
        std::string out;
        for (const MemcheckFrame& f : stack)
            out += (out.empty() ? "" : ",") + f.fn + "@" + f.obj + ":" + f.file + ":" + std::to_string(f.line);
        return out;
    };
    for (const MemcheckError& e : errors)
        text += e.kind + "|" + e.what + "|" + std::to_string(e.thread) + "|" + frames(e.stack) + "|" + e.auxWhat + "|" +
                frames(e.auxStack) + "|" + e.lastClientMessage + (e.IsLeak() ? "|leak" : "") + "\n";
    return text;
}

TEST(MemcheckXml, ReadsEveryErrorItHoldsAndNothingFromABrokenDocument)
{
    const std::string read = "<error><unique>0x1</unique><tid>2</tid><kind>InvalidRead</kind>"
                             "<what>Invalid read of size 4</what><stack>" +
                             Frame("/lib/c.so", "Encrypt") + "</stack></error>";
    const struct {
        const char* what;
        std::string xml;
        std::string errors;
    } cases[] = {
        {"nothing", "", ""},
        {"no XML", "==42== Memcheck, a memory error detector\n", ""},
        {"no errors", Document(""), ""},
        {"one error", Document(read), "InvalidRead|Invalid read of size 4|2|Encrypt@/lib/c.so:x.cpp:7|||\n"},
        // The last message of the error's own thread is the call in progress.
        {"the calls of two threads",
         Document("<clientmsg><tid>2</tid><text>IUserDES::SetKey\n</text></clientmsg>"
                  "<clientmsg><tid>1</tid><text>IUserRSA::Decrypt</text></clientmsg>"
                  "<clientmsg><tid>2</tid><text>IUserDES::Encrypt \n</text></clientmsg>" +
                  read),
         "InvalidRead|Invalid read of size 4|2|Encrypt@/lib/c.so:x.cpp:7|||IUserDES::Encrypt\n"},
        {"a leak's text",
         Document("<error><tid>1</tid><kind>Leak_DefinitelyLost</kind><xwhat><text>40 bytes in 1 blocks are "
                  "definitely lost in loss record 1 of 1</text><leakedbytes>40</leakedbytes></xwhat><stack>" +
                  Frame("/usr/libexec/valgrind/vgpreload_memcheck.so", "malloc", "") + Frame("/lib/c.so", "") +
                  "</stack></error>"),
         "Leak_DefinitelyLost|40 bytes in 1 blocks are definitely lost in loss record 1 of 1|1|"
         "malloc@/usr/libexec/valgrind/vgpreload_memcheck.so::0,@/lib/c.so:x.cpp:7||||leak\n"},
        // The block's story: the first auxwhat and the stack after it; an
        // origin stack after that is not the block's.
        {"where the block was freed",
         Document("<error><tid>1</tid><kind>InvalidRead</kind><what>Invalid read of size 8</what><stack>" +
                  Frame("/bin/tarvel-check", "Body") +
                  "</stack><auxwhat>Address 0x20 is 0 bytes inside a block of size 40 free'd</auxwhat><stack>" +
                  Frame("/lib/c.so", "Release") + "</stack><auxwhat>Block was alloc'd at</auxwhat><stack>" +
                  Frame("/lib/c.so", "Create") + "</stack></error>"),
         "InvalidRead|Invalid read of size 8|1|Body@/bin/tarvel-check:x.cpp:7|Address 0x20 is 0 bytes inside a "
         "block of size 40 free'd|Release@/lib/c.so:x.cpp:7|\n"},
        {"markup in a text",
         Document("<error><tid>1</tid><kind>SyscallParam</kind><what>Syscall param write(buf) points to "
                  "&lt;uninitialised&gt; byte(s) &amp; more</what><stack>" +
                  Frame("/lib/c.so", "Save&lt;int&gt;") + "</stack></error>"),
         "SyscallParam|Syscall param write(buf) points to <uninitialised> byte(s) & more|1|"
         "Save<int>@/lib/c.so:x.cpp:7|||\n"},
        // Killed at its time limit: the error cut short is lost, the one
        // before stands.
        {"cut inside the second error", Document(read + read).substr(0, Document(read).size() + 90),
         "InvalidRead|Invalid read of size 4|2|Encrypt@/lib/c.so:x.cpp:7|||\n"},
        {"broken before any error", "<valgrindoutput><pid>1</pid></oops>" + read, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Shown(checks::runner::ParseMemcheckXml(c.xml)), c.errors);
    }
}

MemcheckError Error(const std::string& kind, const std::string& what, std::vector<MemcheckFrame> stack,
                    const std::string& message = "")
{
    MemcheckError error;
    error.kind = kind;
    error.what = what;
    error.thread = 1;
    error.stack = std::move(stack);
    error.lastClientMessage = message;
    return error;
}

TEST(MemcheckFindings, OnlyTheComponentsErrorsFailAndEachIsToldOnce)
{
    TempFolder folder;
    const std::string library = folder.Write("libcomp.so.1", "not really a library");
    const std::string link = folder.File("libcomp.so");
    std::filesystem::create_symlink(library, link);
    const std::string tag = checks::RuleTag(*checks::FindRule("memory.memcheck-clean")) + "memcheck: ";
    const MemcheckFrame inComponent{library, "RsaCore::Decrypt", "rsa.cpp", 12};
    const MemcheckFrame caller{"/usr/bin/tarvel-check", "Body", "", 0};
    const MemcheckFrame libc{"/lib/libc.so.6", "memcpy", "", 0};
    const MemcheckFrame unknown{"", "", "", 0};

    std::vector<MemcheckFrame> deep(20, inComponent);
    deep.push_back(caller);
    std::vector<MemcheckError> many;
    for (int i = 0; i < 9; ++i)
        many.push_back(Error("InvalidWrite", "Invalid write of size " + std::to_string(i + 1), {inComponent}));
    MemcheckError freedEarly = Error("InvalidRead", "Invalid read of size 8", {caller}, "IUserRSA::Release");
    freedEarly.auxWhat = "Address 0x20 is 0 bytes inside a block of size 40 free'd";
    freedEarly.auxStack = {{"/usr/libexec/valgrind/vgpreload_memcheck.so", "free", "", 0}, inComponent};
    MemcheckError allocatedOnly = freedEarly;
    allocatedOnly.auxWhat = "Address 0x20 is 0 bytes after a block of size 40 alloc'd";

    const struct {
        const char* what;
        std::vector<MemcheckError> errors;
        std::vector<std::string> failures;  // each the start of one failure
        std::string note;
    } cases[] = {
        {"none", {}, {}, ""},
        // Frames down to the caller of the component's outermost one.
        {"a read in the component",
         {Error("InvalidRead", "Invalid read of size 4", {libc, inComponent, caller, caller}, "IUserRSA::Decrypt")},
         {tag + "Invalid read of size 4, in IUserRSA::Decrypt\n    at memcpy (libc.so.6)\n    by RsaCore::Decrypt "
                "(rsa.cpp:12, libcomp.so.1)\n    by Body (tarvel-check)"},
         ""},
        {"a leak",
         {Error("Leak_DefinitelyLost", "40 bytes in 1 blocks are definitely lost", {libc, inComponent, caller},
                "IUserRSA::Decrypt")},
         {tag + "40 bytes in 1 blocks are definitely lost, allocated in RsaCore::Decrypt\n    at memcpy"},
         ""},
        {"a leak from a function without symbols",
         {Error("Leak_DefinitelyLost", "8 bytes lost", {libc, {library, "", "", 0}, caller})},
         {tag + "8 bytes lost, allocated in an unnamed function\n    at memcpy (libc.so.6)\n    by ??? "
                "(libcomp.so.1)\n    by Body (tarvel-check)"},
         ""},
        {"the component freed a block too soon",
         {freedEarly},
         {tag + "Invalid read of size 8 of memory the component had freed, in IUserRSA::Release\n    at Body "
                "(tarvel-check)\n    Address 0x20 is 0 bytes inside a block of size 40 free'd\n    at free "
                "(vgpreload_memcheck.so)\n    by RsaCore::Decrypt (rsa.cpp:12, libcomp.so.1)"},
         ""},
        {"the checker read past a block the component made",
         {allocatedOnly},
         {},
         "memcheck: 1 error(s) with no frame in the component, not held against it; the first: Invalid read of "
         "size 8 at Body (tarvel-check)"},
        {"outside only",
         {Error("UninitCondition", "Conditional jump", {}), Error("InvalidRead", "Invalid read", {libc, unknown})},
         {},
         "memcheck: 2 error(s) with no frame in the component, not held against it; the first: Conditional jump"},
        {"the same error again", {many[0], many[0], many[0]}, {tag + "Invalid write of size 1\n"}, ""},
        {"more than a screenful",
         many,
         {tag + "Invalid write of size 1", tag + "Invalid write of size 2", tag + "Invalid write of size 3",
          tag + "Invalid write of size 4", tag + "Invalid write of size 5", tag + "Invalid write of size 6",
          tag + "3 more errors in the component"},
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // The component as the run names it: through a symbolic link.
        const auto findings = checks::runner::JudgeMemcheckErrors(c.errors, link);
        ASSERT_EQ(findings.failures.size(), c.failures.size()) << ::testing::PrintToString(findings.failures);
        for (std::size_t i = 0; i < c.failures.size(); ++i)
            EXPECT_EQ(findings.failures[i].rfind(c.failures[i], 0), 0u) << findings.failures[i];
        EXPECT_EQ(findings.outsideNote, c.note);
    }
    // A deep stack is cut at twelve frames.
    const auto deepFindings = checks::runner::JudgeMemcheckErrors({Error("InvalidRead", "deep", deep)}, link);
    ASSERT_EQ(deepFindings.failures.size(), 1u);
    std::size_t frames = 0;
    for (std::size_t at = 0; (at = deepFindings.failures[0].find("\n    ", at)) != std::string::npos; ++at)
        ++frames;
    EXPECT_EQ(frames, 12u) << deepFindings.failures[0];
}

}  // namespace
