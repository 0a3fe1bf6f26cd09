// The HTML report as a vendor opens it: in a real browser (Debian's
// chromium, headless), the verdict and the failing check are on the page,
// no script runs or fails, and a screenshot is kept in the test's output
// folder for a person to look at.
#include "run_tarvel_check.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string Capture(const std::string& command, int& status)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return output;
    char buffer[4096];
    while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    status = pclose(pipe);
    return output;
}

TEST(HtmlInBrowser, TheVerdictAndTheFailingCheckAreShownWithoutScripts)
{
    int status = 0;
    const std::string browser = Capture("command -v chromium 2>/dev/null", status);
    if (browser.empty())
        GTEST_SKIP() << "chromium is not installed (apt-get install chromium); the page is not opened in a browser";
    TempFolder folder;
    const std::string page = folder.File("report.html");
    const TarvelCheckRun run = RunTarvelCheck(
        "TARVEL_FAULT=sha1-length-55",
        "--component " TARVEL_FAULTY_COMPONENT " --level quick --only vectors --only load --html " + page);
    ASSERT_EQ(run.exitStatus, 1) << run.output;

    const std::filesystem::path output = TARVEL_TEST_OUTPUT;
    std::filesystem::create_directories(output);
    const std::string screenshot = (output / "tarvel-check-report.png").string();
    std::filesystem::remove(screenshot);
    const std::string flags = "timeout 120 chromium --headless --disable-gpu --no-sandbox --no-first-run "
                              "--enable-logging=stderr --v=0 --user-data-dir=" +
                              folder.File("profile") + " --window-size=1200,1600 ";
    const std::string dom = Capture(flags + "--dump-dom file://" + page + " 2>" + folder.File("log"), status);
    ASSERT_EQ(status, 0) << dom;
    EXPECT_NE(dom.find("FAILED: "), std::string::npos) << dom;
    EXPECT_NE(dom.find("vectors.sha1.block-boundary"), std::string::npos);
    EXPECT_NE(dom.find("<details class=\"fail\" open=\"\""), std::string::npos) << "the failure is shown open";
    EXPECT_EQ(dom.find("<script"), std::string::npos);
    std::ifstream logFile(folder.File("log"));
    const std::string log{std::istreambuf_iterator<char>(logFile), std::istreambuf_iterator<char>()};
    EXPECT_EQ(log.find("CONSOLE"), std::string::npos) << "the page wrote to the console:\n" << log;
    EXPECT_EQ(log.find("Uncaught"), std::string::npos) << log;
    EXPECT_EQ(log.find("Content Security Policy"), std::string::npos) << "something was blocked:\n" << log;

    Capture(flags + "--screenshot=" + screenshot + " file://" + page + " 2>/dev/null", status);
    EXPECT_EQ(status, 0);
    EXPECT_GT(std::filesystem::exists(screenshot) ? std::filesystem::file_size(screenshot) : 0u, 10000u) << screenshot;
}

}  // namespace
