// Entry point of every test program that makes widgets: headless display,
// private runtime and settings folders, a QApplication, and prompts answered
// by the test seam instead of blocking on a modal box.
#include "platform/prompts.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace {

// A folder made with mode 0700 (as the runtime folder must be), removed with
// everything in it when the program ends.
class PrivateTempDir {
public:
    explicit PrivateTempDir(const char* tag)
    {
        std::string pattern = (std::filesystem::temp_directory_path() / (std::string("tarvel-") + tag + "-XXXXXX")).string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a temporary folder from " + pattern);
        m_path = pattern;
    }
    ~PrivateTempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    PrivateTempDir(const PrivateTempDir&) = delete;
    PrivateTempDir& operator=(const PrivateTempDir&) = delete;

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const PrivateTempDir runtimeDir("runtime");
    const PrivateTempDir configDir("config");
    setenv("XDG_RUNTIME_DIR", runtimeDir.path().c_str(), 1);
    // Keeps the programs' settings (recent-file lists) out of the user's profile.
    setenv("XDG_CONFIG_HOME", configDir.path().c_str(), 1);

    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    PromptSeam::EnableForTesting();
    return RUN_ALL_TESTS();
}
