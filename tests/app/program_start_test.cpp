// The program as started from a shell where there is no display: a mistyped command is
// reported as one, and the window that cannot open says so in one line instead of aborting.

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryFile>

#include <gtest/gtest.h>

namespace {

struct Finished {
    int status;
    QString err;
};

Finished RunWithoutDisplay(const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(KELVORA_PROGRAM, arguments);
    EXPECT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << "the program crashed or aborted";
    return {program.exitCode(), QString::fromUtf8(program.readAllStandardError())};
}

TEST(ProgramStartTest, AnUnknownFirstWordIsAnUnknownCommandWithTheUsage)
{
    const Finished run = RunWithoutDisplay({"frobnicate"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.startsWith("kelvora: unknown command \"frobnicate\"\n")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("usage: kelvora")) << run.err.toStdString();
}

TEST(ProgramStartTest, TheWindowWithoutADisplaySaysSoInOneLine)
{
    QTemporaryFile existing;
    ASSERT_TRUE(existing.open());
    for (const QStringList& arguments : {QStringList{}, QStringList{"--extended", existing.fileName()}}) {
        const Finished run = RunWithoutDisplay(arguments);
        EXPECT_EQ(run.status, 1) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.startsWith("kelvora: cannot start the window: no display")) << run.err.toStdString();
    }
}

} // namespace
