// Entry point of every test program that makes widgets: headless display,
// private runtime and settings folders, a QApplication, and prompts answered
// by the test seam instead of blocking on a modal box.
#include "framework/prompts.h"
#include "temp_folder.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Both made with mode 0700, as the runtime folder must be.
    const TempFolder runtimeDir;
    const TempFolder configDir;
    setenv("XDG_RUNTIME_DIR", runtimeDir.Path().c_str(), 1);
    // Keeps the programs' settings (recent-file lists) out of the user's profile.
    setenv("XDG_CONFIG_HOME", configDir.Path().c_str(), 1);

    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    PromptSeam::AnswerUnattended();
    return RUN_ALL_TESTS();
}
