// The timing suite as its users see it: which runs list it, the shape of
// every verdict and the figures behind it, that both controls are timed
// beside the component and reported, and how the verdict follows from the
// three subjects' |t|. No test here asserts whether anything leaks: the
// machines that run it are loaded, and timing verdicts are proven by
// scripts/timing-power instead.
#define OPENSSL_SUPPRESS_DEPRECATED
#include "runner/json_reader.h"
#include "timing/constant_time_des.h"
#include "timing/measure_loop.h"
#include "timing/rsa_classes.h"
#include "timing/verdict.h"
#include "timing/welch.h"

#include "run_tarvel_check.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <openssl/des.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace timing;

std::vector<std::string> ListedChecks(const std::string& arguments)
{
    const TarvelCheckRun run = RunTarvelCheck("", arguments + " --list");
    std::vector<std::string> names;
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("timing.", 0) == 0)
            names.push_back(line.substr(0, line.find(' ')));
    return names;
}

TEST(TimingSuite, RunsOnlyWhenNamedOrThorough)
{
    EXPECT_TRUE(ListedChecks("").empty());
    EXPECT_TRUE(ListedChecks("--level standard load").empty());
    const std::vector<std::string> named = ListedChecks("timing");
    EXPECT_EQ(named.size(), 9u);
    EXPECT_EQ(named.front(), "timing.rsa16.input-full");
    EXPECT_EQ(named.back(), "timing.des.block");
    const std::vector<std::string> thorough = ListedChecks("--level thorough");
    EXPECT_EQ(thorough.size(), 12u);
    EXPECT_NE(std::find(thorough.begin(), thorough.end(), "timing.rsa64.key"), thorough.end());
}

// A DES test at the quick budget on the bundled component, and on a test
// component whose Encrypt fails: each verdict has one of the three shapes,
// the exit status follows it, and the note holds the controls' figures.
TEST(TimingSuite, EachVerdictHasItsShapeAndTheControlsAreReported)
{
    const std::regex noLeak(R"(no leak seen in [0-9 ]+ measurements, \|t\| = [0-9.]+ \(the leaky control showed )"
                            R"(\|t\| = [0-9.]+; smallest effect this run could see: [0-9.e+-]+ % of the median\))"
                            // what a first set showed, when a fresh one decided
                            R"((; the first [0-9 ]+ measurements had .+)?)");
    const std::regex leak(R"(leak: \|t\| = [0-9.]+ after [0-9 ]+ measurements)");
    const std::regex inconclusive(R"(inconclusive: .+)");
    TempFolder folder;
    const std::string json = folder.File("report.json");
    const std::string html = folder.File("report.html");
    const TarvelCheckRun run =
        RunTarvelCheck("", "timing --level quick --only timing.des.block --json " + json + " --html " + html);
    // The figures are for the JSON and the HTML's pictures, not the terminal.
    EXPECT_EQ(run.output.find("timing: {"), std::string::npos) << run.output;
    std::ifstream page(html);
    std::stringstream pageText;
    pageText << page.rdbuf();
    for (const char* title : {"Timing: how far apart the two classes", "Timing: the component",
                              "timing.des.block: |t| as measurements accumulated"})
        EXPECT_NE(pageText.str().find(title), std::string::npos) << title;
    EXPECT_EQ(pageText.str().find("timing: {"), std::string::npos);

    std::ifstream in(json);
    std::stringstream text;
    text << in.rdbuf();
    std::string error;
    const auto report = checks::runner::ParseJson(text.str(), error);
    ASSERT_TRUE(report) << error << "\n" << run.output;
    const checks::runner::JsonValue& check = report->Field("checks")->items.at(0);
    EXPECT_EQ(check.Field("name")->text, "timing.des.block");
    const std::string verdict = check.Field("verdict")->text;
    EXPECT_EQ(run.exitStatus, verdict == "pass" ? 0 : 1) << run.output;

    std::string shown, figures;
    for (const checks::runner::JsonValue& note : check.Field("notes")->items)
        (note.text.rfind("timing: ", 0) == 0 ? figures : shown) = note.text;
    if (verdict == "pass") {
        EXPECT_TRUE(std::regex_match(shown, noLeak)) << shown;
    } else {
        const std::string message = check.Field("messages")->items.at(0).text;
        const std::string head = message.substr(0, message.find('\n'));
        EXPECT_TRUE(std::regex_match(head, leak) || std::regex_match(head, inconclusive)) << message;
    }

    const auto note = checks::runner::ParseJson(figures.substr(8), error);
    ASSERT_TRUE(note) << error << "\n" << figures;
    EXPECT_EQ(note->Field("timed")->text, "IUserDES::Encrypt");
    EXPECT_EQ(note->Field("fixed_class")->text, "the block 0000000000000000");
    const auto total = [&](const char* subject) {
        const checks::runner::JsonValue* counts = note->Field(subject)->Field("measurements");
        return counts->items.at(0).number + counts->items.at(1).number;
    };
    // Every subject gets the same number of measurements: the controls'
    // |t| speaks for the component's.
    EXPECT_GE(total("component"), 20000);
    EXPECT_EQ(total("leaky_control"), total("component"));
    EXPECT_EQ(total("constant_time_control"), total("component"));
    for (const char* subject : {"component", "leaky_control", "constant_time_control"}) {
        EXPECT_EQ(note->Field(subject)->Field("crop_t")->items.size(), 100u) << subject;
        EXPECT_TRUE(note->Field(subject)->Number("largest_t")) << subject;
        EXPECT_EQ(note->Field(subject)->Field("median_ns")->items.size(), 2u) << subject;
        EXPECT_EQ(note->Field(subject)->Field("quantiles_ns")->items.size(), 2u) << subject;
    }
    EXPECT_FALSE(note->Field("trace")->items.empty());
    EXPECT_TRUE(note->Field("cpu")->text.rfind("pinned to CPU ", 0) == 0 ||
                note->Field("cpu")->text.rfind("not pinned: ", 0) == 0);
}

TEST(TimingSuite, AHangInTheTimingLoopNamesTheTimedCall)
{
    const TarvelCheckRun run =
        RunTarvelCheck("TARVEL_FAULT=hang-des", "timing --level quick --only timing.des.key-schedule --timeout 3 "
                                                "--component " TARVEL_FAULTY_COMPONENT);
    EXPECT_EQ(run.exitStatus, 1) << run.output;
    EXPECT_NE(run.output.find("IUserDES::SetKey + IUserDES::Encrypt (timing loop)"), std::string::npos) << run.output;
}

// The planted timing faults change when an answer comes, never the answer:
// otherwise scripts/timing-power would measure a broken component.
TEST(TimingFaults, KeepEveryAnswerRight)
{
    for (const char* fault : {"timing-small-input", "timing-des-setkey", "timing-des-encrypt"}) {
        const TarvelCheckRun run = RunTarvelCheck(std::string("TARVEL_FAULT=") + fault,
                                                  "--level quick --quiet differential --only differential.rsa "
                                                  "--only differential.des --component " TARVEL_FAULTY_COMPONENT);
        EXPECT_EQ(run.exitStatus, 0) << fault << "\n" << run.output;
        EXPECT_NE(run.output.find("4 passed, 0 failed"), std::string::npos) << fault << "\n" << run.output;
    }
}

// Subjects that take no time and never fail, and one that fails on its
// tenth call: enough to drive the loop without timing anything real.
class Idle final : public Subject {
public:
    explicit Idle(int failAt = -1) : m_failAt(failAt) {}
    bool PrepareBatch(const std::vector<Class>& classes) override
    {
        m_batches += 1;
        return classes.size() == 100;
    }
    bool Setup(std::size_t) override { return true; }
    bool Run() override { return ++m_calls != m_failAt; }
    std::string Error() const override { return "IUserDES::Encrypt failed: unspecified failure (0x80004005)"; }
    int m_batches = 0;

private:
    int m_failAt;
    int m_calls = 0;
};

TEST(TimingLoop, TimesEverySubjectAlikeAndNamesAFailingOne)
{
    Idle component, leaky, constant;
    const LoopResult result = MeasureSubjects({&component, &leaky, &constant}, Budget{3000, 60}, Stopwatch::Probe(), 7);
    EXPECT_EQ(result.stoppedBy, "budget");
    const std::size_t measured =
        result.subjects[kComponent].statistics.Count(kFixed) + result.subjects[kComponent].statistics.Count(kRandom);
    EXPECT_GE(std::min(result.subjects[kComponent].statistics.Count(kFixed),
                       result.subjects[kComponent].statistics.Count(kRandom)),
              3000u);
    for (const SubjectFigures& figures : result.subjects) {
        EXPECT_EQ(figures.statistics.Count(kFixed) + figures.statistics.Count(kRandom), measured);
        EXPECT_EQ(figures.statistics.Values(kFixed).size(), figures.statistics.Count(kFixed));
    }
    EXPECT_EQ(component.m_batches, leaky.m_batches);

    Idle failing(10);
    const LoopResult failed = MeasureSubjects({&component, &leaky, &failing}, Budget{3000, 60}, Stopwatch::Probe(), 7);
    EXPECT_EQ(failed.stoppedBy, "failed");
    EXPECT_EQ(failed.failure, "the constant-time control: IUserDES::Encrypt failed: unspecified failure (0x80004005)");
    EXPECT_EQ(Judge(failed).text, "inconclusive: " + failed.failure);
}

// A subject's figures with a given t: the fixed class's values shifted
// against the random class's.
SubjectFigures FiguresWithShift(double shift)
{
    SubjectFigures figures;
    figures.statistics = LeakStatistics(std::vector<double>{1e9});
    for (int i = 0; i < 20000; ++i) {
        const double noise = (i % 100);
        figures.statistics.Add(kFixed, 1000 + noise + shift);
        figures.statistics.Add(kRandom, 1000 + noise);
    }
    figures.statistics.Refresh(true);
    return figures;
}

TEST(TimingVerdict, FollowsTheComponentAndBothControls)
{
    // |t| of a shift of 0, 2 and 10 ticks over 20 000 values of spread 29:
    // 0, about 6.9 and about 34.
    const SubjectFigures quiet = FiguresWithShift(0), weak = FiguresWithShift(2), loud = FiguresWithShift(10);
    struct Case {
        const SubjectFigures *component, *leaky, *constant;
        VerdictKind kind;
        const char* starts;
    } cases[] = {
        {&quiet, &loud, &quiet, VerdictKind::NoLeak,
         "no leak seen in 40 000 measurements, |t| = 0.0 (the leaky "
         "control showed |t| = 34."},
        {&weak, &loud, &quiet, VerdictKind::NoLeak, "no leak seen in 40 000 measurements, |t| = 6.9"},
        {&loud, &loud, &quiet, VerdictKind::Leak, "leak: |t| = 34."},
        // A leak seen with the constant-time control quiet needs no proof
        // of power.
        {&loud, &quiet, &quiet, VerdictKind::Leak, "leak: |t| = 34."},
        {&quiet, &weak, &quiet, VerdictKind::Inconclusive,
         "inconclusive: the machine is too noisy to see a leak of this size (the leaky control showed only |t| = 6.9"},
        {&loud, &loud, &loud, VerdictKind::Inconclusive, "inconclusive: the constant-time control showed |t| = 34."},
    };
    for (const Case& c : cases) {
        LoopResult result;
        result.subjects = {*c.component, *c.leaky, *c.constant};
        const Verdict verdict = Judge(result);
        EXPECT_EQ(verdict.kind, c.kind) << verdict.text;
        EXPECT_EQ(verdict.text.rfind(c.starts, 0), 0u) << verdict.text;
    }

    // A set that crossed the line decides nothing alone: the fresh set's
    // verdict stands, and the text says whether it confirmed the crossing.
    const auto set = [](const SubjectFigures& component, const SubjectFigures& constant) {
        LoopResult result;
        result.subjects = {component, FiguresWithShift(10), constant};
        return result;
    };
    const auto deaf = [&] {
        LoopResult result;
        result.subjects = {quiet, weak, quiet};
        return result;
    };
    struct Confirming {
        LoopResult first, again;
        bool crossed;
        VerdictKind kind;
        const char* ends;
    } confirming[] = {
        {set(quiet, quiet), set(loud, quiet), false, VerdictKind::Leak, ""},
        {set(loud, quiet), set(loud, quiet), true, VerdictKind::Leak,
         "; confirmed on fresh measurements (the first 40 000 measurements had crossed the line, the component's |t| "
         "= 34.6)"},
        {set(loud, quiet), set(weak, quiet), true, VerdictKind::NoLeak,
         "; the first 40 000 measurements had crossed the line, the component's |t| = 34.6, and fresh ones did not "
         "confirm it"},
        {set(quiet, loud), set(quiet, quiet), true, VerdictKind::NoLeak,
         "the constant-time control's |t| = 34.6, and fresh ones did not confirm it"},
        {set(quiet, loud), set(quiet, loud), true, VerdictKind::Inconclusive,
         "; confirmed on fresh measurements (the first 40 000 measurements had crossed the line, the constant-time "
         "control's |t| = 34.6)"},
        {deaf(), set(quiet, quiet), true, VerdictKind::NoLeak,
         "; the first 40 000 measurements had left the leaky control below the line, |t| = 6.9, and fresh ones did "
         "not confirm it"},
        {deaf(), deaf(), true, VerdictKind::Inconclusive,
         "; confirmed on fresh measurements (the first 40 000 measurements had left the leaky control below the "
         "line, |t| = 6.9)"},
    };
    for (const Confirming& c : confirming) {
        EXPECT_EQ(NeedsAFreshSet(c.first), c.crossed);
        if (!c.crossed)
            continue;
        const Verdict verdict = Confirmed(c.first, c.again);
        EXPECT_EQ(verdict.kind, c.kind) << verdict.text;
        const std::string ends = c.ends;
        EXPECT_TRUE(verdict.text.size() > ends.size() && verdict.text.substr(verdict.text.size() - ends.size()) == ends)
            << verdict.text;
    }
    LoopResult failedSet = set(loud, quiet);
    failedSet.failure = "the component: IUserDES::Encrypt failed";
    EXPECT_FALSE(NeedsAFreshSet(failedSet));

    EXPECT_EQ(Grouped(200000), "200 000");
    EXPECT_EQ(Grouped(1234567), "1 234 567");
    EXPECT_EQ(Grouped(999), "999");
}

// A test stops before its budget only on a crossing seen at two doubling
// checkpoints in a row: a burst that lifts |t| at one checkpoint fades by
// the next, a leak does not.
TEST(TimingLoop, SettlesALeakOnlyOnTwoCheckpointsInARow)
{
    const SubjectFigures quiet = FiguresWithShift(0), loud = FiguresWithShift(10);
    const std::array<SubjectFigures, kRoles> leak{loud, loud, quiet}, none{quiet, loud, quiet}, noisy{loud, loud, loud},
        deaf{loud, quiet, quiet};
    struct Case {
        std::vector<const std::array<SubjectFigures, kRoles>*> checkpoints;
        int settlesAt;  // index of the checkpoint, -1 never
    } cases[] = {
        {{&leak, &leak}, 1},
        {{&leak, &none, &leak, &leak}, 3},
        {{&none, &leak, &none, &leak}, -1},
        // The controls must be settled at the checkpoint that decides.
        {{&leak, &noisy, &leak}, 2},
        {{&leak, &deaf}, -1},
    };
    for (const Case& c : cases) {
        EarlySettling settling(10'000);
        int settledAt = -1;
        for (std::size_t i = 0; i < c.checkpoints.size() && settledAt < 0; ++i) {
            EXPECT_EQ(settling.NextCheckpoint(), std::size_t{10'000} << i);
            if (settling.Settled(*c.checkpoints[i]))
                settledAt = static_cast<int>(i);
        }
        EXPECT_EQ(settledAt, c.settlesAt) << "case " << (&c - cases);
    }
}

// The DES tests' constant-time control is a DES: the standard's vectors,
// then OpenSSL's answers over random keys and blocks.
TEST(TimingControls, TheConstantTimeDesIsDes)
{
    struct Vector {
        std::uint64_t key, plain, cipher;
    } vectors[] = {
        {0x0123456789abcdefull, 0x4e6f772069732074ull, 0x3fa40e8a984d4815ull},
        {0x0101010101010101ull, 0x0000000000000000ull, 0x8ca64de9c1b123a7ull},
        {0x133457799bbcdff1ull, 0x0123456789abcdefull, 0x85e813540f0ab405ull},
    };
    const auto bytes = [](std::uint64_t value) {
        std::array<std::uint8_t, 8> out;
        for (int i = 7; i >= 0; --i, value >>= 8)
            out[i] = static_cast<std::uint8_t>(value);
        return out;
    };
    ConstantTimeDes des;
    std::array<std::uint8_t, 8> out;
    for (const Vector& v : vectors) {
        des.SetKey(bytes(v.key).data());
        des.Encrypt(bytes(v.plain).data(), out.data());
        EXPECT_EQ(out, bytes(v.cipher)) << std::hex << v.key;
    }
    std::mt19937_64 random(5);
    for (int i = 0; i < 1000; ++i) {
        DES_cblock key, plain, expected;
        const std::array<std::uint8_t, 8> k = bytes(random()), p = bytes(random());
        std::copy(k.begin(), k.end(), key);
        std::copy(p.begin(), p.end(), plain);
        DES_key_schedule schedule;
        DES_set_key_unchecked(&key, &schedule);
        DES_ecb_encrypt(&plain, &expected, &schedule, DES_ENCRYPT);
        des.SetKey(k.data());
        des.Encrypt(p.data(), out.data());
        ASSERT_TRUE(std::equal(out.begin(), out.end(), expected)) << "case " << i;
    }
}

TEST(TimingStatistics, WelchTMatchesAHandComputedCase)
{
    // Means 2 and 5, variances 1 and 1, three values each: t = -3 / sqrt(2/3).
    WelchTest test;
    for (double x : {1.0, 2.0, 3.0})
        test.Add(kFixed, x);
    for (double x : {4.0, 5.0, 6.0})
        test.Add(kRandom, x);
    EXPECT_NEAR(test.T(), -3 / std::sqrt(2.0 / 3), 1e-12);
    EXPECT_NEAR(test.SmallestShift(10), 10 * std::sqrt(2.0 / 3), 1e-12);
    // One value per class has no spread: no t rather than a division by zero.
    WelchTest thin;
    thin.Add(kFixed, 1);
    thin.Add(kRandom, 2);
    EXPECT_EQ(thin.T(), 0);

    // dudect's ladder: the first crop keeps 1 - 0.5^0.1 of the values, the
    // last 1 - 0.5^10.
    std::vector<double> calibration;
    for (int i = 0; i <= 1000; ++i)
        calibration.push_back(i);
    const std::vector<double> thresholds = CropThresholds(calibration);
    ASSERT_EQ(thresholds.size(), 100u);
    EXPECT_NEAR(thresholds.front(), 1000 * (1 - std::pow(0.5, 0.1)), 1e-9);
    EXPECT_NEAR(thresholds.back(), 1000 * (1 - std::pow(0.5, 10)), 1e-9);
}

// The classes behind the RSA verdicts: a fixed input shorter than the random
// ones, or a fixed key picked by chance, would make the tests measure
// something else than what they say.
TEST(TimingRsaClasses, FixedInputsAndKeyAreWhatTheTestsName)
{
    std::string error;
    const std::vector<RsaKey> keys = MakeRsaKeys(16, 6, error);
    ASSERT_EQ(keys.size(), 6u) << error;
    const tarvel::BnCtxPtr bn(BN_CTX_new());
    const std::vector<Class> classes = {kFixed, kRandom, kFixed, kRandom};
    for (const RsaKey& key : keys) {
        EXPECT_EQ(BN_num_bits(key.n.get()), 512);
        EXPECT_EQ(key.numbers[0].size(), 16u);
    }
    const BIGNUM* n = keys.front().n.get();
    const BIGNUM* p = keys.front().p.get();

    for (RsaTest test : {RsaTest::FullInput, RsaTest::InputBelowP}) {
        RsaClasses mine(test, keys, 11, 1), theirs(test, keys, 11, 2);
        mine.Prepare(classes);
        theirs.Prepare(classes);
        // Every subject of a test gets the same fixed input, and its own
        // random ones.
        EXPECT_EQ(mine.Input(0), mine.Input(2));
        EXPECT_EQ(mine.Input(0), theirs.Input(0));
        EXPECT_NE(mine.Input(1), mine.Input(3));
        EXPECT_NE(mine.Input(1), theirs.Input(1));
        const Bignum fixed = checks::support::ToBignum(mine.Input(0));
        ASSERT_EQ(mine.Input(0).size(), 16u);
        EXPECT_NE(mine.Input(0).back(), 0u) << "the fixed input is shorter than n";
        EXPECT_LT(BN_cmp(fixed.get(), n), 0);
        EXPECT_LT(BN_cmp(checks::support::ToBignum(mine.Input(1)).get(), n), 0);
        Bignum bound(BN_new()), residue(BN_new());
        if (test == RsaTest::FullInput) {
            BN_rshift(bound.get(), n, 2);
            EXPECT_GE(BN_cmp(fixed.get(), bound.get()), 0);
            BN_rshift1(bound.get(), n);
            EXPECT_LT(BN_cmp(fixed.get(), bound.get()), 0);
        } else {
            BN_mod(residue.get(), fixed.get(), p, bn.get());
            BN_copy(bound.get(), p);
            BN_sub_word(bound.get(), 1);
            EXPECT_EQ(BN_cmp(residue.get(), bound.get()), 0) << "the fixed input is not p - 1 modulo p";
        }
    }

    RsaClasses pool(RsaTest::Key, keys, 11, 1);
    pool.Prepare(std::vector<Class>(64, kFixed));
    const std::size_t lightest = LightestKey(keys);
    for (std::size_t slot = 0; slot < 64; ++slot)
        EXPECT_EQ(pool.KeyIndex(slot), lightest);
    for (const RsaKey& key : keys)
        EXPECT_LE(keys[lightest].privateWeight, key.privateWeight);
    pool.Prepare(std::vector<Class>(64, kRandom));
    std::vector<bool> drawn(keys.size());
    for (std::size_t slot = 0; slot < 64; ++slot)
        drawn[pool.KeyIndex(slot)] = true;
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), true), 6) << "the random class does not range over the pool";
}

}  // namespace
