// The reports of tarvel-check as a CI reads them: valid JSON and XML whatever
// bytes arrive (read back by Python's own parsers), written without harm to
// what is at their path, and saying which build and binary they came from;
// and a helper process a component starts neither fails its check nor
// outlives the run.
#include "bench/bench_report.h"
#include "runner/report_file.h"
#include "runner/reports.h"

#include "run_tarvel_check.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Hex(const std::string& bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

// Runs Python over the files; its output, or what it said when it refused.
std::string RunPython(const std::string& script, const std::vector<std::string>& files)
{
    std::string command = "python3 -c '" + script + "'";
    for (const std::string& file : files)
        command += " '" + file + "'";
    command += " 2>&1";
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, n);
        pclose(pipe);
    }
    return output;
}

// Strict parsers only: json refuses control characters in strings, the
// UTF-8 decoder refuses every ill-formed sequence, expat every character
// XML 1.0 forbids. Prints each string read back, as the hex of its UTF-8.
constexpr const char* kReadBack = R"(
import json, sys, xml.etree.ElementTree as et
def text(path): return open(path, "rb").read().decode("utf-8")
for at in range(1, len(sys.argv), 3):
    check = json.loads(text(sys.argv[at]))
    junit = et.fromstring(text(sys.argv[at + 1]).encode("utf-8"))
    bench = json.loads(text(sys.argv[at + 2]))
    values = [check["component"], check["checks"][0]["messages"][0], check["checks"][0]["notes"][0],
              junit.find(".//property[@name=\"component\"]").get("value"), junit.find(".//failure").text,
              bench["component"], bench["operations"][0]["message"]]
    print(" ".join(v.encode("utf-8").hex() for v in values))
)";

TEST(Reports, StayValidJsonAndXmlWhateverBytesArrive)
{
    const struct {
        const char* what;
        std::string bytes;
        std::string json;  // what a JSON reader reads back
        std::string xml;   // what an XML reader reads back
    } cases[] = {
        {"a byte above 0x7f", "a\x80z", "a\\x80z", "a\\x80z"},
        {"0xff", "\xff", "\\xff", "\\xff"},
        {"a lead byte alone", "\xc3(", "\\xc3(", "\\xc3("},
        {"a truncated sequence at the end", "x\xe2\x82", "x\\xe2\\x82", "x\\xe2\\x82"},
        {"NUL", std::string("a\0b", 3), std::string("a\0b", 3), "a\\x00b"},
        {"controls", "\x01\x1b[31m\x7f", "\x01\x1b[31m\x7f", "\\x01\\x1b[31m\x7f"},
        {"markup", "]]> <&\"'", "]]> <&\"'", "]]> <&\"'"},
        {"an encoded surrogate", "\xed\xa0\x80", "\\xed\\xa0\\x80", "\\xed\\xa0\\x80"},
        {"an overlong slash", "\xc0\xaf", "\\xc0\\xaf", "\\xc0\\xaf"},
        {"above U+10FFFF", "\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80", "\\xf4\\x90\\x80\\x80"},
        {"U+FFFE", "\xef\xbf\xbe", "\xef\xbf\xbe", "\\xef\\xbf\\xbe"},
        {"well-formed UTF-8", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80",
         "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"},
        {"blanks", "tab\tcr\rend", "tab\tcr\rend", "tab\tcr\rend"},
    };
    // Every case's three reports, then one reader over them all.
    TempFolder folder;
    std::vector<std::string> files;
    std::string expected;
    for (const auto& c : cases) {
        checks::runner::RunSummary summary;
        summary.component = c.bytes;
        summary.origin.componentPath = c.bytes;
        summary.origin.vectorsFolder = c.bytes;
        checks::runner::CheckResult result;
        result.name = "suite." + c.bytes;
        result.suite = "suite" + c.bytes;
        result.description = c.bytes;
        result.verdict = checks::runner::Verdict::Fail;
        result.messages = {c.bytes};
        result.notes = {c.bytes};
        summary.results = {result};
        bench::BenchRun run;
        run.component = c.bytes;
        run.baselinePath = c.bytes;
        run.environment.cpuModel = c.bytes;
        bench::Measurement failed;
        failed.name = c.bytes;
        failed.failure = c.bytes;
        run.measurements = {failed};
        const std::string name = std::to_string(files.size() / 3);
        files.push_back(folder.Write(name + ".json", checks::runner::JsonDocument(summary)));
        files.push_back(folder.Write(name + ".xml", checks::runner::JunitDocument(summary)));
        files.push_back(folder.Write(name + ".bench.json", bench::BenchJson(run)));
        const std::string j = Hex(c.json), x = Hex(c.xml);
        expected += j + " " + j + " " + j + " " + x + " " + x + " " + j + " " + j + "\n";
    }
    const std::string readBack = RunPython(kReadBack, files);
    std::istringstream got(readBack), want(expected);
    for (const auto& c : cases) {
        std::string gotLine, wantLine;
        std::getline(got, gotLine);
        std::getline(want, wantLine);
        EXPECT_EQ(gotLine, wantLine) << c.what << "\n" << readBack;
    }
}

// What is at the report's path decides how the report gets there; nothing
// but a regular file is ever replaced.
TEST(ReportFile, ReplacesOnlyRegularFilesAndWritesIntoDevicesAndFifos)
{
    TempFolder folder;
    const std::string text = "{\"report\": 1}\n";
    // The longest path the system takes: 4095 bytes, in folders of 200.
    std::string longest = folder.Path().string();
    while (longest.size() + 201 < 4095) {
        longest += "/" + std::string(200, 'd');
        mkdir(longest.c_str(), 0700);
    }
    longest += "/" + std::string(4095 - longest.size() - 1, 'r');
    ASSERT_EQ(longest.size(), 4095u);

    folder.Write("old.json", "old");
    ASSERT_EQ(symlink(folder.File("old.json").c_str(), folder.File("link.json").c_str()), 0);
    ASSERT_EQ(symlink(folder.File("nowhere").c_str(), folder.File("dangling.json").c_str()), 0);
    mkfifo(folder.File("unread.fifo").c_str(), 0600);
    mkfifo(folder.File("read.fifo").c_str(), 0600);
    const int reader = open(folder.File("read.fifo").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);

    const struct {
        std::string path;
        const char* error;      // nullptr: written
        std::string contentAt;  // where the report must then be
        mode_t kind;            // what the path must still be
    } cases[] = {
        {folder.File("new.json"), nullptr, folder.File("new.json"), S_IFREG},
        {folder.File("old.json"), nullptr, folder.File("old.json"), S_IFREG},
        // A link is followed as a shell's redirection would, and stays a link.
        {folder.File("link.json"), nullptr, folder.File("old.json"), S_IFLNK},
        {folder.File("dangling.json"), "a symbolic link to nothing", "", S_IFLNK},
        {longest, nullptr, longest, S_IFREG},
        {"/dev/null", nullptr, "", S_IFCHR},
        {"/dev/full", "No space left on device", "", S_IFCHR},
        {folder.File("unread.fifo"), "no process reads it", "", S_IFIFO},
        {folder.File("read.fifo"), nullptr, "", S_IFIFO},
        {folder.Path().string(), "Is a directory", "", S_IFDIR},
        {folder.File("missing/x.json"), "No such file or directory", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.substr(0, 120));
        const std::string error = checks::runner::WriteReportFile(c.path, text);
        if (c.error) {
            EXPECT_NE(error.find(c.error), std::string::npos) << error;
        } else {
            EXPECT_EQ(error, "");
        }
        if (!c.contentAt.empty()) {
            EXPECT_EQ(ReadAll(c.contentAt), text);
        }
        struct stat info {};
        if (c.kind) {
            ASSERT_EQ(lstat(c.path.c_str(), &info), 0);
        }
        EXPECT_EQ(info.st_mode & S_IFMT, c.kind);
    }
    char received[64] = {};
    EXPECT_EQ(read(reader, received, sizeof received), static_cast<ssize_t>(text.size()));
    EXPECT_EQ(received, text);
    close(reader);
    // No temporary file is left behind, and the dangling link made nothing.
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"dangling.json", std::string(200, 'd'), "link.json",
                                                          "new.json", "old.json", "read.fifo", "unread.fifo"}));
}

TEST(ReportFile, TellsTwoNamesOfOneFileApart)
{
    TempFolder folder;
    folder.Write("a.json", "");
    ASSERT_EQ(link(folder.File("a.json").c_str(), folder.File("hard.json").c_str()), 0);
    const struct {
        std::string first, second;
        bool same;
    } cases[] = {
        {folder.File("a.json"), folder.File("hard.json"), true},
        {folder.File("a.json"), folder.File("sub/../a.json"), true},
        {folder.File("new.json"), folder.File("./new.json"), true},
        {folder.File("new.json"), folder.File("new.xml"), false},
        {folder.File("a.json"), folder.File("new.json"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first + " " + c.second);
        EXPECT_EQ(checks::runner::SameFile(c.first, c.second), c.same);
    }
}

// Through the executable: the version, the refusals, and a component whose
// path is not UTF-8 and holds markup.
TEST(Reports, TheRunRecordsWhereItsVerdictCameFromAndRefusesWhatItCannotWrite)
{
    TempFolder folder;
    const std::string hostile = folder.File("lib\xff\x80]]><&\x1b.so");
    std::filesystem::copy_file(TARVEL_FAULTY_COMPONENT, hostile);
    const std::string json = folder.File("run.json"), junit = folder.File("run.xml");
    const struct {
        std::string arguments;
        int exitStatus;
        const char* says;
    } cases[] = {
        {"--version", 0, "tarvel-check " TARVEL_VERSION "\n"},
        {"--only load --json /dev/full", 2, "cannot write the report /dev/full: No space left on device"},
        {"--only load --json " + json + " --junit " + folder.File("./run.json"), 2,
         "--json and --junit name the same file"},
        {"--only load --level quick --component '" + hostile + "' --json " + json + " --junit " + junit, 0,
         " passed, 0 failed, 0 skipped, 0 with notes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const TarvelCheckRun run = RunTarvelCheck("TARVEL_FAULT=none", c.arguments);
        EXPECT_EQ(run.exitStatus, c.exitStatus) << run.output;
        EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
    }
    const std::string readBack = R"(
import json, sys, xml.etree.ElementTree as et
check = json.loads(open(sys.argv[1], "rb").read().decode("utf-8"))
props = {p.get("name"): p.get("value") for p in et.parse(sys.argv[2]).getroot().find(".//properties")}
print(check["component"].endswith("/lib\\xff\\x80]]><&\x1b.so"), check["tool_version"], check["summary"]["with_notes"])
print(check["component_file"]["bytes"] == int(props["component_bytes"]), len(check["component_file"]["sha256"]))
print(props["component"] == check["component"].replace("\x1b", "\\x1b"), props["tool_version"])
)";
    EXPECT_EQ(RunPython(readBack, {json, junit}), "True " TARVEL_VERSION " 0\nTrue 64\nTrue " TARVEL_VERSION "\n");
    const std::string component = ReadAll(TARVEL_FAULTY_COMPONENT);
    EXPECT_NE(ReadAll(json).find("\"bytes\": " + std::to_string(component.size())), std::string::npos);
}

// A component that starts a helper process (which keeps the check's report
// pipe open): the check ends when its own process does, passes, and the
// helper is stopped with it.
TEST(CheckProcess, AHelperTheComponentStartsNeitherFailsTheCheckNorOutlivesIt)
{
    TempFolder folder;
    const std::string pids = folder.File("pids");
    const TarvelCheckRun run =
        RunTarvelCheck("TARVEL_FAULT=spawn-helper TARVEL_FAULT_HELPER_PIDS=" + pids,
                       "--component " TARVEL_FAULTY_COMPONENT " --level quick --only rsa.keys --timeout 20");
    EXPECT_EQ(run.exitStatus, 0) << run.output;
    EXPECT_NE(run.output.find(" passed, 0 failed"), std::string::npos) << run.output;
    std::istringstream lines(ReadAll(pids));
    int helpers = 0;
    for (std::string pid; std::getline(lines, pid); ++helpers) {
        // Gone, or a zombie its new parent has yet to reap. SIGKILL is sent
        // before tarvel-check exits but takes effect when the helper is next
        // scheduled, so wait for that (a bounded wait on a condition).
        std::string stat;
        for (int tries = 0; tries < 500; ++tries) {
            stat = ReadAll("/proc/" + pid + "/stat");
            const std::size_t state = stat.rfind(") ");
            if (stat.empty() || (state != std::string::npos && stat[state + 2] == 'Z'))
                break;
            usleep(10000);
        }
        const std::size_t state = stat.rfind(") ");
        EXPECT_TRUE(stat.empty() || (state != std::string::npos && stat[state + 2] == 'Z')) << stat;
    }
    EXPECT_GT(helpers, 0) << "the fault started no helper";
}

}  // namespace
