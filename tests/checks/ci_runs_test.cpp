// Runs as CI makes them: --jobs and --shard give the verdicts of a serial
// run in the same order, --skip and --expect-fail change what fails the run
// and say so, colour only where asked, and a replay bundle of a deliberate
// fault reproduces it.
#include "run_tarvel_check.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string kFaulty = "--component " TARVEL_FAULTY_COMPONENT " --level quick ";
// The sanitizer build runs the DES tables several times slower, and these
// tests run two checkers at once: no check's own limit may decide a verdict.
constexpr const char* kSlowMachineLimit = "--timeout 300 ";

// "VERDICT name" of every result line, in order, times left out.
std::vector<std::string> Verdicts(const std::string& output)
{
    static const std::regex line("^(PASS|FAIL|SKIP|XFAIL)  ([a-z0-9.-]+)");
    std::vector<std::string> verdicts;
    std::istringstream lines(output);
    for (std::string text; std::getline(lines, text);)
        if (std::smatch m; std::regex_search(text, m, line))
            verdicts.push_back(m[1].str() + " " + m[2].str());
    return verdicts;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(CiRuns, JobsAndShardsGiveTheVerdictsOfASerialRun)
{
    TempFolder folder;
    // A crash, wrong answers, and a hang cut by a short time limit (given
    // only to checks that are quick even under the sanitizers, so the limit
    // never decides another verdict).
    const std::pair<const char*, const char*> faults[] = {
        {"crash-decrypt", kSlowMachineLimit},
        {"sha1-length-55", kSlowMachineLimit},
        {"hang-des", "--timeout 3 --only contract --only vectors.des --only differential.des "}};
    for (const auto& [fault, arguments] : faults) {
        SCOPED_TRACE(fault);
        const std::string environment = std::string("TARVEL_FAULT=") + fault;
        const std::string common = kFaulty + arguments;
        const TarvelCheckRun serial = RunTarvelCheck(environment, common + "--jobs 1");
        const TarvelCheckRun parallel = RunTarvelCheck(environment, common + "--jobs 2");
        EXPECT_EQ(serial.exitStatus, 1) << serial.output;
        EXPECT_EQ(parallel.exitStatus, 1) << parallel.output;
        const auto expected = Verdicts(serial.output);
        EXPECT_GT(expected.size(), 15u) << serial.output;
        EXPECT_EQ(Verdicts(parallel.output), expected) << parallel.output;

        std::multiset<std::string> sharded;
        for (const char* shard : {"1/2", "2/2"}) {
            const std::string junit = folder.File(std::string("shard") + shard[0] + ".xml");
            const TarvelCheckRun part = RunTarvelCheck(environment, common + "--shard " + shard + " --junit " + junit);
            const auto verdicts = Verdicts(part.output);
            sharded.insert(verdicts.begin(), verdicts.end());
            EXPECT_NE(part.output.find(std::string(", shard ") + shard + ")"), std::string::npos) << part.output;
            EXPECT_NE(ReadFile(junit).find(std::string(" [shard ") + shard + "]\""), std::string::npos);
        }
        EXPECT_EQ(sharded, std::multiset<std::string>(expected.begin(), expected.end()));
    }
}

TEST(CiRuns, SkipAndExpectFailDecideWhatFailsTheRunAndSaySo)
{
    TempFolder folder;
    const std::string list = folder.Write("expected", "# known faults\n"
                                                      "vectors.sha1.block-boundary  SHA-1 loses the 55th byte (bug 7)\n"
                                                      "differential.sha1  the same fault\n"
                                                      "vectors.md5.rfc1321  was wrong once\n");
    const std::string environment = "TARVEL_FAULT=sha1-length-55";
    const TarvelCheckRun listed =
        RunTarvelCheck(environment, kFaulty + kSlowMachineLimit + "--only vectors --only differential --expect-fail " +
                                        list + " --json " + folder.File("run.json"));
    EXPECT_EQ(listed.exitStatus, 0) << listed.output;
    for (const char* says :
         {"XFAIL  vectors.sha1.block-boundary", "expected failure: SHA-1 loses the 55th byte (bug 7)",
          "passed although expected to fail: was wrong once", " passed, 0 failed, 0 skipped, ",
          " with notes, 2 expected failures, 1 passed although expected to fail in "})
        EXPECT_NE(listed.output.find(says), std::string::npos) << says << "\n" << listed.output;
    EXPECT_NE(ReadFile(folder.File("run.json")).find("\"expected_failures\": 2"), std::string::npos);

    // Left out, the failing checks do not run at all.
    const TarvelCheckRun skipped = RunTarvelCheck(
        environment, kFaulty + kSlowMachineLimit + "--skip vectors.sha1 --skip 'differential.sha*' --skip rsa");
    EXPECT_EQ(skipped.exitStatus, 0) << skipped.output;
    for (const std::string& verdict : Verdicts(skipped.output))
        EXPECT_TRUE(verdict.find(" vectors.sha1") == std::string::npos &&
                    verdict.find(" differential.sha") == std::string::npos &&
                    verdict.find(" rsa.") == std::string::npos)
            << verdict;
}

TEST(CiRuns, ColourOnlyWhereAsked)
{
    const std::string args = kFaulty + "--only contract.des --only vectors.sha1.block-boundary";
    const std::string fault = "TARVEL_FAULT=sha1-length-55";
    const struct {
        std::string environment, arguments;
        bool coloured;
    } cases[] = {
        {fault, args, false},  // piped
        {fault, args + " --color=always", true},
        {fault + " NO_COLOR=1", args + " --color=always", true},  // the option wins
        {fault + " NO_COLOR=1", args, false},
        {fault, args + " --color=never", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.environment + " " + c.arguments);
        const TarvelCheckRun run = RunTarvelCheck(c.environment, c.arguments);
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_EQ(run.output.find("\033[31mFAIL\033[0m  vectors.sha1.block-boundary") != std::string::npos, c.coloured)
            << run.output;
        EXPECT_EQ(run.output.find("\033[32mPASS\033[0m  contract.des.protocol") != std::string::npos, c.coloured);
        EXPECT_EQ(run.output.find('\033') != std::string::npos, c.coloured);
    }
}

TEST(CiRuns, AReplayBundleReproducesTheFaultItRecorded)
{
    TempFolder folder;
    const std::string artifacts = folder.File("artifacts");
    const TarvelCheckRun run = RunTarvelCheck("TARVEL_FAULT=sha1-length-55",
                                              kFaulty + "--seed 5 --only vectors.sha1 --artifacts " + artifacts);
    EXPECT_EQ(run.exitStatus, 1) << run.output;
    const std::string bundle = artifacts + "/vectors.sha1.block-boundary.json";
    const std::string text = ReadFile(bundle);
    for (const char* field :
         {"\"schema\": \"tarvel-replay/2\"", "\"check\": \"vectors.sha1.block-boundary\"", "\"level\": \"quick\"",
          "\"seed\": \"5\"", "\"component_sha256\": \"", "\"verdict\": \"fail\"", "\"IHashSHA1::HashData\"",
          "\"call_records_complete\": true", "\"method\": \"CoCreateInstance\"", "\"method\": \"HashData\"",
          "\"status\": \"0x00000000\""})
        EXPECT_NE(text.find(field), std::string::npos) << field << "\n" << text;
    // The wrong digest the verdict quotes is the answer the record holds.
    std::smatch got;
    ASSERT_TRUE(std::regex_search(text, got, std::regex("got: +([0-9a-f]{40})"))) << text;
    EXPECT_NE(text.find("\"digest\": {\"hex\": \"" + got[1].str() + "\"}"), std::string::npos) << text;
    EXPECT_FALSE(std::ifstream(artifacts + "/vectors.sha1.short-msg.json")) << "a bundle for a passing check";
    // A bundle of the first schema holds no records: its check runs again.
    const std::string first =
        folder.Write("first.json", std::regex_replace(text, std::regex("tarvel-replay/2"), "tarvel-replay/1"));

    const struct {
        const char* fault;
        std::string arguments;
        int exitStatus;
        std::string says;
    } cases[] = {
        {"sha1-length-55", bundle, 0, "0 answered differently\nthe component answers the same"},
        {"sha1-length-55", bundle + " --in-process", 0, "the component answers the same"},
        {"none", bundle, 1,
         "differs: call 5: IHashSHA1::GetHash: digest: recorded " + got[1].str() + " (20 bytes), now "},
        {"none", bundle + " --in-process", 1, "2 answered differently\nthe component answers differently"},
        {"none", bundle + " --rerun", 1, "PASS  vectors.sha1.block-boundary\nthe component answers differently"},
        {"sha1-length-55", first, 0, "no calls recorded: the check runs again from its seed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault + (" " + c.arguments));
        const TarvelCheckRun replay = RunTarvelCheck(std::string("TARVEL_FAULT=") + c.fault, "replay " + c.arguments);
        EXPECT_EQ(replay.exitStatus, c.exitStatus) << replay.output;
        EXPECT_NE(replay.output.find(c.says), std::string::npos) << replay.output;
    }
    EXPECT_EQ(RunTarvelCheck("", "replay /etc/hostname").exitStatus, 2);

    // A crash: the call that did not return ends the record with its
    // inputs; the replay issues it again and meets the crash again.
    const std::string crashes = folder.File("crashes");
    RunTarvelCheck("TARVEL_FAULT=crash-decrypt", kFaulty + "--only rsa.copy --artifacts " + crashes);
    const std::string crashed = ReadFile(crashes + "/rsa.copy.json");
    EXPECT_NE(crashed.find("\"IUserRSA::Decrypt (did not return)\"\n  ]"), std::string::npos) << crashed;
    EXPECT_TRUE(std::regex_search(
        crashed, std::regex("\"method\": \"Decrypt\",\n +\"in\": \\{\"in\": \\{\"hex\": \"[0-9a-f]+\"\\}, "
                            "\"inWords\": 16, [^\n]*\"returned\": false\\}\n  \\]")))
        << crashed;
    // A hang likewise, under the replay's own time limit.
    const std::string hangs = folder.File("hangs");
    RunTarvelCheck("TARVEL_FAULT=hang-des", kFaulty + "--timeout 3 --only contract.des.protocol --artifacts " + hangs);
    const std::string hung = hangs + "/contract.des.protocol.json --timeout 3";
    const struct {
        const char* fault;
        std::string bundle;
        int exitStatus;
        const char* says;
    } endCases[] = {
        {"crash-decrypt", crashes + "/rsa.copy.json", 0,
         "IUserRSA::Decrypt did not return, as recorded: [required: call.returns] crashed"},
        {"none", crashes + "/rsa.copy.json", 1,
         "IUserRSA::Decrypt: recorded: it did not return; now it returned 0x00000000"},
        {"hang-des", hung, 0, "IUserDES::Encrypt did not return, as recorded: [required: call.returns] did not finish"},
        {"none", hung, 1, "IUserDES::Encrypt: recorded: it did not return; now it returned 0x"},
    };
    for (const auto& c : endCases) {
        SCOPED_TRACE(c.fault + (" " + c.bundle));
        const TarvelCheckRun again = RunTarvelCheck(std::string("TARVEL_FAULT=") + c.fault, "replay " + c.bundle);
        EXPECT_EQ(again.exitStatus, c.exitStatus) << again.output;
        EXPECT_NE(again.output.find(c.says), std::string::npos) << again.output;
        // What came before the call that did not return is told first.
        EXPECT_NE(again.output.find("summary: "), std::string::npos) << again.output;
    }
    EXPECT_NE(RunTarvelCheck("TARVEL_FAULT=none", "replay " + crashes + "/rsa.copy.json")
                  .output.find("outputs compared by size only: they depend on a key the component chose itself"),
              std::string::npos);
}

// A bundle is a file from elsewhere: its calls may not make the component
// write outside the replay's own fresh folders.
TEST(CiRuns, AReplayWritesFilesOnlyInItsOwnFolders)
{
    TempFolder folder;
    const std::string outside = folder.File("outside.asy");
    const std::string bundle = folder.Write(
        "hostile.json",
        "{\"schema\": \"tarvel-replay/2\", \"check\": \"rsa.copy\", \"level\": \"quick\", \"seed\": \"1\",\n"
        " \"call_records\": [\n"
        "  {\"call\": 1, \"object\": 0, \"interface\": \"IUserRSA\", \"method\": \"CoCreateInstance\", \"in\": {},\n"
        "   \"status\": \"0x00000000\", \"out\": {\"object\": 1}},\n"
        "  {\"call\": 2, \"object\": 1, \"interface\": \"IUserRSA\", \"method\": \"LoadAsyFile\",\n"
        "   \"in\": {\"path\": {\"path\": \"" +
            outside +
            "\"}, \"file\": \"written\"}, \"status\": \"0x80004005\", \"out\": {}},\n"
            "  {\"call\": 3, \"object\": 1, \"interface\": \"IUserRSA\", \"method\": \"SaveAsyFile\",\n"
            "   \"in\": {\"path\": {\"path\": \"{scratch1}/../../" +
            outside +
            "\"}}, \"status\": \"0x80004005\", \"out\": {}},\n"
            "  {\"call\": 4, \"object\": 1, \"interface\": \"IUserRSA\", \"method\": \"SaveAsyFile\",\n"
            "   \"in\": {\"path\": {\"path\": \"{scratch1}/key.asy\"}}, \"status\": \"0x80004005\", \"out\": {}},\n"
            "  {\"call\": 5, \"object\": 1, \"interface\": \"IUserRSA\", \"method\": \"SaveAsyFile\",\n"
            "   \"in\": {\"path\": {\"path\": \"{scratch1}-sibling.asy\"}}, \"status\": \"0x80004005\", \"out\": "
            "{}}]}\n");
    const TarvelCheckRun replay = RunTarvelCheck("TARVEL_FAULT=none", "replay " + bundle);
    for (const char* says : {"call 2: IUserRSA::LoadAsyFile: not issued again: its path lies outside",
                             "call 3: IUserRSA::SaveAsyFile: not issued again: its path lies outside",
                             "call 5: IUserRSA::SaveAsyFile: not issued again: its path lies outside",
                             "summary: 2 of 5 recorded calls issued again"})
        EXPECT_NE(replay.output.find(says), std::string::npos) << says << "\n" << replay.output;
    EXPECT_FALSE(std::filesystem::exists(outside));

    // Nor take the machine's memory: an output buffer no check offers is
    // refused, not mapped and filled.
    const std::string huge = folder.Write(
        "huge.json",
        "{\"schema\": \"tarvel-replay/2\", \"check\": \"rsa.copy\", \"level\": \"quick\", \"seed\": \"1\",\n"
        " \"call_records\": [\n"
        "  {\"call\": 1, \"object\": 0, \"interface\": \"IUserRSA\", \"method\": \"CoCreateInstance\", \"in\": {},\n"
        "   \"status\": \"0x00000000\", \"out\": {\"object\": 1}},\n"
        "  {\"call\": 2, \"object\": 1, \"interface\": \"IUserRSA\", \"method\": \"GetBase\",\n"
        "   \"in\": {\"words\": {\"capacity\": 1099511627776}, \"count\": 5}, \"status\": \"0x00000000\", \"out\": "
        "{}}]}\n");
    const TarvelCheckRun refused = RunTarvelCheck("TARVEL_FAULT=none", "replay " + huge);
    EXPECT_EQ(refused.exitStatus, 1) << refused.output;
    EXPECT_NE(refused.output.find("the bundle asks for an output buffer of 1099511627776 bytes"), std::string::npos)
        << refused.output;
}

// Recording every call changes no verdict: the proxies forward each slot to
// the component's same slot and hand back its answers, counts included; and
// what they recorded replays.
// (Not shared-hash-state: whether four threads meet in its shared state
// depends on how they are scheduled, recorded or not.)
TEST(CiRuns, RecordingCallsChangesNoVerdict)
{
    TempFolder folder;
    for (const char* fault : {"sha1-length-55", "crash-decrypt", "shifted-slot", "userid-to-nul",
                              "asy-accepts-malformed", "other-choices", "hash-wrong-later"}) {
        SCOPED_TRACE(fault);
        const std::string environment = std::string("TARVEL_FAULT=") + fault;
        const TarvelCheckRun plain = RunTarvelCheck(environment, kFaulty + kSlowMachineLimit + "--jobs 2");
        const TarvelCheckRun recorded =
            RunTarvelCheck(environment, kFaulty + kSlowMachineLimit + "--jobs 2 --artifacts " + folder.File(fault));
        EXPECT_EQ(recorded.exitStatus, plain.exitStatus) << recorded.output;
        EXPECT_GT(Verdicts(plain.output).size(), 15u) << plain.output;
        EXPECT_EQ(Verdicts(recorded.output), Verdicts(plain.output)) << recorded.output;
        // And each failing check's record, issued again on the same fault,
        // meets the same answers.
        // (Not shifted-slot: its crash hangs on a key the component chose,
        // which a replay cannot choose again.)
        if (std::string(fault) == "shifted-slot")
            continue;
        std::size_t replayed = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder.File(fault))) {
            const TarvelCheckRun replay = RunTarvelCheck(environment, "replay " + entry.path().string());
            EXPECT_EQ(replay.exitStatus, 0) << entry.path() << "\n" << replay.output;
            ++replayed;
        }
        // A bundle for each failing check, none for a run that passed.
        EXPECT_EQ(replayed > 0, plain.exitStatus != 0) << replayed;
    }
}

// The component's path is the user's bytes: the header shows a control
// character in it as \xHH, so the path cannot recolour the terminal.
TEST(CiRuns, TheHeaderShowsAHostilePathAsText)
{
    TempFolder folder;
    const std::string hostile = folder.File("lib\033[31mred.so");
    std::filesystem::create_symlink(TARVEL_FAULTY_COMPONENT, hostile);
    const TarvelCheckRun run =
        RunTarvelCheck("TARVEL_FAULT=none", "--component '" + hostile + "' --level quick --only contract.des -q");
    EXPECT_EQ(run.exitStatus, 0) << run.output;
    EXPECT_EQ(run.output.find('\033'), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("lib\\x1b[31mred.so (level quick"), std::string::npos) << run.output;
}

TEST(CiRuns, WrongCommandLinesEndWithStatusTwo)
{
    const std::pair<std::string, const char*> cases[] = {
        {"--jobs 0", "--jobs must be a whole number from 1 to 256, not '0'"},
        {"--shard 3/2", "--shard must be K/N with 1 <= K <= N"},
        {"--shard 1", "--shard must be K/N"},
        {"--color=sometimes", "--color must be auto, always or never, not 'sometimes'"},
        {"--expect-fail /nonexistent/list", "--expect-fail /nonexistent/list: cannot be read"},
        {"--html /tmp/x.html --text /tmp/x.html", "--html and --text name the same file"},
    };
    for (const auto& [arguments, says] : cases) {
        SCOPED_TRACE(arguments);
        const TarvelCheckRun run = RunTarvelCheck("", kFaulty + arguments);
        EXPECT_EQ(run.exitStatus, 2) << run.output;
        EXPECT_NE(run.output.find(says), std::string::npos) << run.output;
    }
    const TarvelCheckRun version = RunTarvelCheck("", "bench --version");
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.output.rfind("tarvel-check ", 0), 0u) << version.output;
}

}  // namespace
