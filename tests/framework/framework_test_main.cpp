// Runs the framework tests headless, with prompts answered by the seam and
// the test program's resources installed.
#include "platform/prompts.h"
#include "platform/resources.h"

#include <QApplication>
#include <QDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Death tests re-run this program; a fresh process keeps Qt sane.
    GTEST_FLAG_SET(death_test_style, "threadsafe");

    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string runtimeDir = (QDir::tempPath() + "/framework_tests-XXXXXX").toStdString();
    if (!mkdtemp(runtimeDir.data()))
        return 2;
    setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);

    QApplication app(argc, argv);
    QApplication::setApplicationName("FrameworkTests");
    PromptSeam::EnableForTesting();
    const ResourceSet resources = ResourceSet::Load(":/frameworktest");
    AfxSetResources(&resources);

    const int status = RUN_ALL_TESTS();
    AfxSetResources(nullptr);
    rmdir(runtimeDir.c_str());
    return status;
}
