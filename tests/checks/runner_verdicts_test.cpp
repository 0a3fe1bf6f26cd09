// tarvel-check as a vendor runs it: the bundled component passes, each
// deliberate fault fails exactly the checks that look at it (and a crash
// does not stop the run), and wrong command lines end with status 2.
#include "run_tarvel_check.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <fnmatch.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

struct CheckRun {
    int exitStatus = -1;
    std::string output;
    std::set<std::string> failed;
};

CheckRun RunCheck(const std::string& environment, const std::string& arguments)
{
    TarvelCheckRun process = RunTarvelCheck(environment, arguments);
    CheckRun run;
    run.exitStatus = process.exitStatus;
    run.output = std::move(process.output);
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("FAIL  ", 0) == 0)
            run.failed.insert(
                line.substr(6, line.find(':') == std::string::npos ? std::string::npos : line.find(':') - 6));
    return run;
}

bool MatchesAny(const std::string& name, const std::vector<std::string>& patterns)
{
    for (const std::string& pattern : patterns)
        if (fnmatch(pattern.c_str(), name.c_str(), 0) == 0)
            return true;
    return false;
}

struct FaultCase {
    const char* fault;
    // Checks that must fail (none: the run passes), and what the first of
    // them must say.
    std::vector<std::string> mustFail;
    const char* says;
    // Checks that may fail as well because they use what the fault breaks.
    std::vector<std::string> mayFail;
    const char* moreArguments = "";
    // Faults no quick check can see are judged where a vendor would see them.
    const char* level = "quick";
};

const FaultCase kFaults[] = {
    {"sha1-length-55",
     {"vectors.sha1.block-boundary", "differential.sha1"},
     "55",
     {"vectors.sha1.*", "differential.sha1"}},
    {"overrun",
     {"contract.rsa.size-protocol"},
     "GetKeyPart4 wrote past the capacity",
     // The programs' own sequences hand over exact buffers too.
     {"rsa.copy", "rsa.keys.*", "vectors.rsa.*", "differential.rsa*"}},
    {"shifted-slot",
     {"contract.rsa.slot-layout"},
     "the method table looks shifted",
     {"contract.rsa.*", "contract.null-pointers", "contract.shared-state", "rsa.*", "vectors.rsa.*",
      "differential.rsa*", "memory.*"}},
    {"crash-decrypt",
     {"contract.rsa.operation-counts", "contract.null-pointers", "rsa.keys.1", "rsa.copy"},
     "last call started: IUserRSA::Decrypt",
     {"rsa.*", "vectors.rsa.*", "differential.rsa*", "contract.shared-state", "memory.*"}},
    {"crt-off-by-one",
     {"rsa.keys.16"},
     "q^-1 mod p (GetKeyPart8)",
     {"rsa.keys.*", "rsa.copy", "rsa.key-files", "rsa.asy-*", "contract.rsa.slot-layout", "contract.rsa.setter-lengths",
      "memory.rsa.life-cycle"}},
    {"ignore-length",
     {"rsa.keys.1", "rsa.generate-limits"},
     "the base of a 1-word key: expected 32 bits",
     {"rsa.keys.*", "contract.rsa.*", "differential.rsa*", "memory.rsa.life-cycle"}},
    {"hang-des",
     {"contract.des.protocol", "contract.threads"},
     "did not finish within 1 s (stopped); last call started: IUserDES::Encrypt",
     {},
     "--timeout 1 --only contract.des --only contract.threads"},
    // Faults a careless component makes that neither a crash nor a known
    // answer shows, each caught at standard.
    {"wky-with-private",
     {"rsa.key-files"},
     "the public key file .wky holds private material: d as big-endian",
     {},
     "",
     "standard"},
    {"wky-with-d-text", {"rsa.key-files"}, "d as decimal digits in the file's text", {}, "", "standard"},
    {"private-by-umask",
     {"rsa.key-files"},
     "the private key file .rky is open to others (mode 0666, saved under umask 0000)",
     {"rsa.asy-texts"},
     "",
     "standard"},
    {"asy-unescaped", {"rsa.asy-texts"}, "LoadAsyFile refuses the record SaveAsyFile just wrote", {}, "", "standard"},
    {"asy-accepts-malformed",
     {"rsa.asy-malformed"},
     "LoadAsyFile accepted a record with the user-id field twice",
     {"contract.null-pointers"},
     "",
     "standard"},
    {"encrypt-fixed-e", {"differential.rsa.exponents"}, "with the 4-word key with e = 3, p < q", {}, "", "standard"},
    {"userid-to-nul",
     {"contract.rsa.setter-lengths"},
     "read past the capacity: 0 bytes after the end of a 21-byte buffer; last call started: IUserRSA::SetUserId",
     {"rsa.asy-texts", "contract.rsa.setter-limits"},
     "",
     "standard"},
    {"crt-trusted", {"differential.rsa.crt-mismatch"}, "q^-1 mod p off by 1", {}, "", "standard"},
    {"shared-hash-state",
     {"contract.shared-state"},
     "the digest of the other object's input, so the objects share their state",
     {"contract.threads"},
     "",
     "standard"},
    {"shared-des-key", {"contract.shared-state"}, "A encrypted with B's key", {"contract.threads"}, "", "standard"},
    {"sha1-stops-64k", {"vectors.sha1.block-boundary"}, "the digest of 65537 bytes", {}, "", "standard"},
    {"generate-e1",
     {"rsa.keys.16", "contract.rsa.slot-layout"},
     "e = 1: \"encryption\" leaves every number as it is",
     {"rsa.keys.*"},
     "",
     "standard"},
    {"generate-p-eq-q",
     {"rsa.keys.16", "contract.rsa.slot-layout"},
     "n = p² is no RSA base, and q has no inverse mod p",
     {"rsa.keys.*", "rsa.key-files", "memory.rsa.life-cycle"},
     "",
     "standard"},
    // Recommended choices only: standard passes, thorough fails each of them.
    {"rky-other-layout", {}, "", {}, "", "standard"},
    {"rky-other-layout", {"rsa.key-files"}, "a PEM 'RSA PRIVATE KEY' block", {}, "--only rsa.key-files", "thorough"},
    {"other-choices", {}, "", {}, "", "standard"},
    {"other-choices",
     {"contract.des.protocol", "contract.sha1.protocol", "contract.md5.protocol", "contract.rsa.size-protocol",
      "contract.rsa.text-getters", "contract.rsa.empty-and-clear", "contract.rsa.setter-lengths", "rsa.key-files",
      "rsa.asy-texts", "rsa.asy-malformed"},
     "IUserDES::GetKey is not implemented (neither program calls it)",
     {},
     "--only contract --only rsa.key-files --only 'rsa.asy-*'",
     "thorough"},
};

TEST(RunnerVerdicts, EachDeliberateFaultFailsTheChecksThatLookAtIt)
{
    for (const FaultCase& fault : kFaults) {
        SCOPED_TRACE(std::string(fault.fault) + " at " + fault.level);
        const CheckRun run = RunCheck(std::string("TARVEL_FAULT=") + fault.fault,
                                      std::string("--component " TARVEL_FAULTY_COMPONENT " -q --level ") + fault.level +
                                          " " + fault.moreArguments);
        EXPECT_EQ(run.exitStatus, fault.mustFail.empty() ? 0 : 1) << run.output;
        for (const std::string& name : fault.mustFail)
            EXPECT_TRUE(run.failed.count(name)) << name << " did not fail:\n" << run.output;
        for (const std::string& name : run.failed)
            EXPECT_TRUE(MatchesAny(name, fault.mustFail) || MatchesAny(name, fault.mayFail))
                << name << " failed, but has nothing to do with the fault:\n"
                << run.output;
        EXPECT_NE(run.output.find(fault.says), std::string::npos) << run.output;
        // Every failure names the rule it breaks; a component that only makes
        // other recommended choices breaks no required rule.
        std::istringstream lines(run.output);
        for (std::string line; std::getline(lines, line);)
            if (line.rfind("FAIL  ", 0) == 0) {
                const bool recommended = line.find(": [recommended: ") != std::string::npos;
                EXPECT_TRUE(recommended || line.find(": [required: ") != std::string::npos) << line;
                if (std::string(fault.fault) == "other-choices") {
                    EXPECT_TRUE(recommended) << line;
                }
            }
        // The run went on to the end, whatever the fault did to one check.
        EXPECT_NE(run.output.find(" failed, 0 skipped"), std::string::npos) << run.output;
    }
}

TEST(RunnerVerdicts, AComponentWithoutFaultsPassesAndTheReportsSayTheSame)
{
    TempFolder folder;
    const CheckRun run =
        RunCheck("TARVEL_FAULT=none", "--component " TARVEL_FAULTY_COMPONENT " --level quick -q --json " +
                                          folder.File("run.json") + " --junit " + folder.File("run.xml"));
    EXPECT_EQ(run.exitStatus, 0) << run.output;
    EXPECT_TRUE(run.failed.empty()) << run.output;
    EXPECT_NE(run.output.find(" passed, 0 failed, 0 skipped"), std::string::npos) << run.output;
    std::stringstream json, junit;
    json << std::ifstream(folder.File("run.json")).rdbuf();
    junit << std::ifstream(folder.File("run.xml")).rdbuf();
    EXPECT_NE(json.str().find("\"schema\": \"tarvel-check/1\""), std::string::npos) << json.str();
    EXPECT_NE(json.str().find("\"exit_status\": 0"), std::string::npos) << json.str();
    EXPECT_NE(json.str().find("{\"name\": \"load.library\", \"suite\": \"load\", \"verdict\": \"pass\""),
              std::string::npos)
        << json.str();
    EXPECT_NE(junit.str().find("<testsuites name=\"tarvel-check\""), std::string::npos) << junit.str();
    EXPECT_NE(junit.str().find("failures=\"0\""), std::string::npos) << junit.str();
}

TEST(RunnerVerdicts, WhatCannotRunEndsWithStatusTwoAndSaysWhy)
{
    const struct {
        const char* environment;
        const char* arguments;
        const char* says;
    } cases[] = {
        {"TARVEL_FAULT=none", "--level fast", "--level must be quick, standard or thorough, not 'fast'"},
        {"TARVEL_FAULT=none", "--seed -3", "--seed must be a number"},
        {"TARVEL_FAULT=none", "--bogus", "unknown option --bogus"},
        {"TARVEL_FAULT=none", "nosuchsuite", "no suite named 'nosuchsuite'"},
        {"TARVEL_FAULT=none", "--component /nonexistent/libx.so", "/nonexistent/libx.so: no such file"},
        {"TARVEL_FAULT=none", "--component /etc/hostname", "not a loadable shared library"},
        {"TARVEL_COMPONENT=relative/lib.so", "", "TARVEL_COMPONENT must be an absolute path"},
        {"TARVEL_FAULT=none", "--only no.such.check", "no check matches"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const CheckRun run = RunCheck(c.environment, c.arguments);
        EXPECT_EQ(run.exitStatus, 2) << run.output;
        EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
    }
}

}  // namespace
