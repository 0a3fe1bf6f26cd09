// Runs the framework tests headless, with prompts answered by the seam and
// the test program's resources installed.
#include "framework/prompts.h"
#include "framework/resources.h"
#include "temp_folder.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Death tests re-run this program; a fresh process keeps Qt sane.
    GTEST_FLAG_SET(death_test_style, "threadsafe");

    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const TempFolder runtimeDir;
    setenv("XDG_RUNTIME_DIR", runtimeDir.Path().c_str(), 1);

    QApplication app(argc, argv);
    QApplication::setApplicationName("FrameworkTests");
    PromptSeam::AnswerUnattended();
    const ResourceSet resources = ResourceSet::Load(":/frameworktest");
    AfxSetResources(&resources);

    const int status = RUN_ALL_TESTS();
    AfxSetResources(nullptr);
    return status;
}
