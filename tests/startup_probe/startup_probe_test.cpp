#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace {

struct Outcome {
    int status = -1;
    QByteArray output;
};

// Runs the one-window program offscreen; probe: TARVEL_STARTUP_PROBE's value,
// or none to leave it unset.
Outcome RunWindow(std::optional<QString> probe)
{
    QTemporaryDir runtimeDir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", runtimeDir.path());
    env.remove("TARVEL_STARTUP_PROBE");
    if (probe)
        env.insert("TARVEL_STARTUP_PROBE", *probe);

    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(TARVEL_PROBE_WINDOW_PATH, {});
    EXPECT_TRUE(process.waitForFinished(60000)) << "the program did not end";
    Outcome outcome;
    if (process.exitStatus() == QProcess::NormalExit)
        outcome.status = process.exitCode();
    outcome.output = process.readAllStandardOutput();
    return outcome;
}

TEST(StartupProbe, EndsTheProgramOnlyOnceItsFirstWindowHasBeenPainted)
{
    const Outcome outcome = RunWindow(QStringLiteral("1"));
    EXPECT_EQ(outcome.status, 0);
    // The paint handler ran, and its output was not lost to the abrupt end.
    EXPECT_TRUE(outcome.output.contains("painted\n")) << outcome.output.toStdString();
    EXPECT_FALSE(outcome.output.contains("ended by itself")) << outcome.output.toStdString();
}

TEST(StartupProbe, LeavesTheProgramAloneUnlessTheVariableIsOne)
{
    for (const std::optional<QString>& probe :
         {std::optional<QString>(), std::optional<QString>("0"), std::optional<QString>("yes")}) {
        const Outcome outcome = RunWindow(probe);
        EXPECT_EQ(outcome.status, 3) << "TARVEL_STARTUP_PROBE=" << probe.value_or("(unset)").toStdString();
        EXPECT_TRUE(outcome.output.contains("ended by itself")) << outcome.output.toStdString();
    }
}

}  // namespace
