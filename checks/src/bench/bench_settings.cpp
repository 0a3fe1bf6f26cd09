#include "bench/bench_settings.h"

#include "runner/option_reader.h"

#include <cerrno>
#include <cstdlib>
#include <utility>

namespace bench {

std::optional<BenchSettings> ParseBenchCommandLine(int argc, char** argv, std::string& error)
{
    using checks::runner::OptionReader;
    // The options whose value is kept as typed.
    static const std::pair<const char*, std::optional<std::string> BenchSettings::*> kTexts[] = {
        {"--component", &BenchSettings::component},
        {"--file", &BenchSettings::file},
        {"--json", &BenchSettings::jsonPath},
        {"--baseline", &BenchSettings::baselinePath}};
    BenchSettings settings;
    OptionReader args(argc, argv);
    while (args.Next()) {
        const std::string& arg = args.Word();
        if (arg == "-h" || arg == "--help" || arg == "--list" || arg == "--vs-openssl" ||
            arg == "--fail-on-regression" || arg == "-q" || arg == "--quiet") {
            if (!args.NoValue(error))
                return std::nullopt;
            settings.help |= arg == "-h" || arg == "--help";
            settings.list |= arg == "--list";
            settings.vsOpenSsl |= arg == "--vs-openssl";
            settings.failOnRegression |= arg == "--fail-on-regression";
            settings.quiet |= arg == "-q" || arg == "--quiet";
            continue;
        }
        static const char* const kValued[] = {"--component", "--samples", "--seconds",  "--pin",
                                              "--file",      "--json",    "--baseline", "--only"};
        bool valued = false;
        for (const char* name : kValued)
            valued |= arg == name;
        if (!valued) {
            error = (args.IsOption() ? "unknown option " : "unexpected argument ") + arg;
            return std::nullopt;
        }
        const auto text = args.Value(error);
        if (!text)
            return std::nullopt;
        char* end = nullptr;
        errno = 0;
        if (const auto* kept = checks::runner::FindOption(kTexts, arg)) {
            settings.*(kept->second) = *text;
        } else if (arg == "--samples") {
            const long value = std::strtol(text->c_str(), &end, 10);
            if (errno || *end || value < 1 || value > 1000000) {
                error = "--samples must be a whole number from 1 to 1000000, not '" + *text + "'";
                return std::nullopt;
            }
            settings.samples = static_cast<std::size_t>(value);
        } else if (arg == "--seconds") {
            const auto seconds = checks::runner::ParseSeconds(arg, *text, error);
            if (!seconds)
                return std::nullopt;
            settings.seconds = *seconds;
        } else if (arg == "--pin") {
            const long value = std::strtol(text->c_str(), &end, 10);
            if (errno || *end || value < 0 || value > 4095) {
                error = "--pin must be a CPU number, not '" + *text + "'";
                return std::nullopt;
            }
            settings.pinCpu = static_cast<int>(value);
        } else {
            settings.only.push_back(*text);
        }
    }
    return settings;
}

std::string BenchUsageText()
{
    return "Usage: tarvel-check bench [OPTION]...\n"
           "Times a crypto component at work. Every operation's answer is checked against\n"
           "OpenSSL before it is timed and again after the first, the last and a few\n"
           "samples in between; a wrong answer or a failing call is a failure with\n"
           "its reason, never a figure. Calls are warmed up, batched until one sample is\n"
           "at least 1000 steps of the monotonic clock, and each operation is reported\n"
           "with the median, its 95% confidence interval (order statistics, binomial\n"
           "method), min, p90 and p99 of the time per call, the rate (MB/s for byte\n"
           "operations, operations per second otherwise), cycles per byte where the CPU's\n"
           "time-stamp counter is invariant, and process CPU time over wall time.\n"
           "\n"
           "Operations:\n"
           "  keygen.16/32/64/128     GenerateKey at that many words, one key per sample\n"
           "  rsa.public.N            Encrypt (raw RSA) with a key of N words\n"
           "  rsa.private.N           Decrypt (raw RSA) with a key of N words\n"
           "  des.round-trip          SetKey, Encrypt and Decrypt of one block\n"
           "  sha1.64/1k/16k/1m       HashData and GetHash over that many bytes\n"
           "  sha1.file               the SHA-1 test's file sequence (--file): mapped,\n"
           "                          hashed in one call, checked for changes; the\n"
           "                          unmapping of 64 MiB or more is left to a thread\n"
           "  md5.40                  HashData and GetHash over 40 bytes\n"
           "\n"
           "Options:\n"
           "  --component PATH  the component library (default: as the programs choose)\n"
           "  --samples N       samples per operation (default 41)\n"
           "  --seconds S       time budget of one operation's samples, both sides\n"
           "                    together (default 2; key generation gets 2, 4 and 10\n"
           "                    times that at 16-32, 64 and 128 words); an operation\n"
           "                    stops when the budget is spent and it has 6 samples\n"
           "                    (fewer only when one call is too slow for that)\n"
           "  --vs-openssl      also time the same work done by OpenSSL directly,\n"
           "                    sample by sample in turn with the component, and show\n"
           "                    ours/OpenSSL: the median of the paired ratios with its\n"
           "                    95% interval (for key generation, where samples are\n"
           "                    not paired, the ratio of the medians with a bootstrap\n"
           "                    interval from a fixed seed)\n"
           "  --file PATH       also time hashing this file (at most 4 GiB - 1)\n"
           "  --pin CPU         run on that CPU only\n"
           "  --only PATTERN    time only operations matching a shell pattern or a\n"
           "                    dotted prefix (\"sha1\", \"rsa.private.*\"); repeatable\n"
           "  --json FILE       write the results as JSON (schema tarvel-bench/1)\n"
           "  --baseline FILE   compare with an earlier --json report (a regular file of\n"
           "                    at most 4 MiB): an operation is slower when its interval\n"
           "                    lies wholly above the earlier one\n"
           "  --fail-on-regression  exit with 1 when --baseline finds one slower\n"
           "  --list            list the operations, time none\n"
           "  -q, --quiet       print only failed operations and the closing line\n"
           "  -h, --help        show this text\n"
           "\n"
           "A progress line goes to standard error when it is a terminal. The machine's\n"
           "state (CPU model and flags, governor, kernel, OpenSSL, load average) heads the\n"
           "report; figures from a busy machine are wide, and the intervals say how wide.\n"
           "\n"
           "Exit status:\n"
           "  0  every operation was timed (and none is slower, with --fail-on-regression)\n"
           "  1  an operation gave a wrong answer or failed, or a regression was flagged\n"
           "     with --fail-on-regression\n"
           "  2  the component could not be loaded, or the command line is wrong\n";
}

}  // namespace bench
