// Times the SHA-1 of one file, the way scripts/bench compares the Tarvel3
// dialog with the command-line tools:
//   sha1_file_timer dialog FILE      the dialog's FileName handler, offscreen
//   sha1_file_timer mapped-evp FILE  one EVP_Digest over a fresh mapping
//   sha1_file_timer read-evp FILE    EVP_DigestUpdate on blocks read into a buffer
// Prints one line: seconds=<wall time> cpu_seconds=<the thread's CPU time>
// sha1=<digest> shown=<program's text>.
#include "hash_run.h"

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string_view>

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: sha1_file_timer dialog|mapped-evp|read-evp FILE\n");
    return 2;
}

HashRun RunDialogOffscreen(int& argc, char** argv, const std::string& path)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtimeDir;  // Qt wants a private runtime folder
    if (runtimeDir.isValid()) {
        QFile::setPermissions(runtimeDir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path()));
    }
    QApplication app(argc, argv);
    return RunDialogFileName(path);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return Usage();
    const std::string_view mode = argv[1];
    const std::string path = argv[2];
    try {
        std::optional<HashRun> run;
        if (mode == "dialog")
            run = RunDialogOffscreen(argc, argv, path);
        else if (mode == "mapped-evp")
            run = RunMappedDigest(path);
        else if (mode == "read-evp")
            run = RunReadDigest(path);
        else
            return Usage();
        std::printf("seconds=%.6f cpu_seconds=%.6f sha1=%s shown=%s\n", run->seconds, run->cpuSeconds,
                    run->sha1.c_str(), run->shown.c_str());
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "sha1_file_timer: %s\n", error.what());
        return 1;
    }
}
