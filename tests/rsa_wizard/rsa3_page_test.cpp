// Page 3: random data below the base, encrypted and decrypted by page 1's
// first object, every text exactly one key long, every fault reported.
#include "lcg_reference.h"
#include "wizard_fixture.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include <cstdlib>

namespace {

using Lines = std::vector<std::string>;
using Words = std::vector<std::uint32_t>;

// Data as drawn, before it is kept below the base: the first value lands in
// the top byte of the last word.
Words DrawnData(LcgReference& lcg, std::size_t words)
{
    Words data(words, 0);
    for (std::size_t byte = 4 * words; byte-- > 0;)
        data[byte / 4] |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(lcg.Next() & 0xFF)) << (8 * (byte % 4));
    return data;
}

bool Below(const Words& a, const Words& b)
{
    for (std::size_t i = a.size(); i-- > 0;)
        if (a[i] != b[i])
            return a[i] < b[i];
    return false;
}

class Rsa3Page : public WizardTest {
protected:
    // A key of keyWords words, then page 3.
    void ReachPage3(const std::string& keyWords = "16")
    {
        Open();
        GenerateWith(keyWords);
        Next();
        ASSERT_EQ(ActivePage(), 2);
    }
    struct Shown {
        std::string data, encode, decode, encTime, decTime;
        bool operator==(const Shown&) const = default;
    };
    Shown Texts()
    {
        return {Text(2, IDC_DATA), Text(2, IDC_ENCODE), Text(2, IDC_DECODE), Text(2, IDC_ENCTIME),
                Text(2, IDC_DECTIME)};
    }
    // Methods called on object 1 since the page was reached.
    Lines RoundTripCalls()
    {
        Lines names;
        const auto calls = CallsOf(1);
        for (std::size_t i = 7; i < calls.size(); ++i)  // after GenerateKey and page 2's six
            names.push_back(calls[i].method);
        return names;
    }
    // The data as the page made it: the checks below hold it against the
    // generator and the base.
    void ExpectDataFrom(const Words& drawn, const Words& base, const Words& shown)
    {
        ASSERT_EQ(shown.size(), drawn.size());
        EXPECT_TRUE(Below(shown, base)) << ExpectedHex(shown);
        // Only the top word may have been lowered, and only to one below
        // the base's.
        EXPECT_TRUE(std::equal(drawn.begin(), drawn.end() - 1, shown.begin()));
        if (shown.back() != drawn.back()) {
            EXPECT_EQ(shown.back(), base.back() - 1);
        }
    }
};

TEST_F(Rsa3Page, ShowsNothingBeforeTheFirstTest)
{
    ReachPage3();
    EXPECT_EQ(Texts(), Shown{});
}

TEST_F(Rsa3Page, EncryptsAndDecryptsDataOfTheKeysLengthBelowTheBase)
{
    for (std::uint32_t keyWords : {1u, 2u, 5u, 16u}) {
        SCOPED_TRACE(keyWords);
        fake.reset();
        ReachPage3(std::to_string(keyWords));
        crt::srand(1);
        PressTest();
        EXPECT_EQ(RoundTripCalls(), (Lines{"GetKeyLength", "GetBase", "Encrypt", "Decrypt"}));
        const FakeCall getBase = CallsNamed("GetBase").back();
        EXPECT_EQ(getBase.arg("count"), std::to_string(keyWords));

        LcgReference lcg(1);
        const Words base = FakeComponent::KeyNumber(1, keyWords);
        const Words data = WordsOfHex(Texts().data);
        ExpectDataFrom(DrawnData(lcg, keyWords), base, data);

        const FakeCall encrypt = CallsNamed("Encrypt").back(), decrypt = CallsNamed("Decrypt").back();
        EXPECT_EQ(FakeComponent::ParseWords(encrypt.arg("in")), data);
        EXPECT_EQ(encrypt.arg("inWords"), std::to_string(keyWords));
        EXPECT_EQ(encrypt.arg("capacity"), std::to_string(keyWords));
        EXPECT_EQ(decrypt.arg("in"), encrypt.out("out"));
        EXPECT_EQ(decrypt.arg("inWords"), encrypt.out("outWords"));
        EXPECT_EQ(decrypt.arg("capacity"), std::to_string(keyWords));

        Words encoded = data;
        for (auto& word : encoded)
            word ^= kFakeRsaMask;
        EXPECT_EQ(Texts(), (Shown{ExpectedHex(data), ExpectedHex(encoded), ExpectedHex(data),
                                  "Encryption Time 0 milliseconds", "Decryption Time 0 milliseconds"}));
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Rsa3Page, EachPressDrawsOnWithoutSeedingAndUsesTheCurrentKey)
{
    ReachPage3("4");
    crt::srand(7);
    PressTest();
    const std::string first = Texts().data;
    PressTest();
    LcgReference lcg(7);
    DrawnData(lcg, 4);
    ExpectDataFrom(DrawnData(lcg, 4), FakeComponent::KeyNumber(1, 4), WordsOfHex(Texts().data));
    EXPECT_NE(Texts().data, first);

    // A new key of another length is used by the next press.
    Back();
    Back();
    GenerateWith("3");
    Next();
    PressTest();
    EXPECT_EQ(CallsNamed("GetBase").back().arg("count"), "3");
    EXPECT_EQ(WordsOfHex(Texts().decode).size(), 3u);
    EXPECT_EQ(Texts().decode, Texts().data);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Rsa3Page, TextsAreOneKeyLongWhateverCountTheComponentReports)
{
    struct Case {
        const char* method;
        std::uint32_t count;
        const char* message;  // "" for none
        bool decodeIsData;
    };
    const Case cases[] = {
        {"Decrypt", 19, "", true},   // claims more than it may write: only 16 words are read
        {"Decrypt", 15, "", false},  // the 16th word stays zero
        {"Encrypt", 15, "Decrypt failed: invalid argument (0x80070057)", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + std::to_string(c.count));
        fake.reset();
        ReachPage3();
        fake.setReportedCount(c.method, c.count);
        PressTest();
        EXPECT_EQ(Messages(), c.message[0] ? Lines{c.message} : Lines{});
        const Shown shown = Texts();
        EXPECT_EQ(WordsOfHex(shown.data).size(), 16u);
        EXPECT_EQ(WordsOfHex(shown.encode).size(), 16u);
        if (c.decodeIsData) {
            EXPECT_EQ(shown.decode, shown.data);
        } else if (!shown.decode.empty()) {
            EXPECT_EQ(shown.decode.substr(0, 8), "00000000");
        }
    }
    // Decrypt is handed what Encrypt said it produced.
    EXPECT_EQ(CallsNamed("Decrypt").back().arg("inWords"), "15");
    // Buffers start zeroed: the word Encrypt left unwritten shows as zero.
    EXPECT_EQ(Texts().encode.substr(0, 8), "00000000");
    EXPECT_EQ(Texts().decode, "");
}

TEST_F(Rsa3Page, AFailingCallIsReportedAndNothingIsShownAsItsResult)
{
    ReachPage3();
    PressTest();
    ASSERT_FALSE(Texts().encode.empty());

    fake.failMethod("Encrypt", E_FAIL, 1);
    PressTest();
    EXPECT_EQ(Messages(), Lines{"Encrypt failed: unspecified failure (0x80004005)"});
    EXPECT_FALSE(Texts().data.empty());
    EXPECT_EQ(Texts(), (Shown{Texts().data, "", "", "", ""}));  // nothing left from the press before
    EXPECT_EQ(RoundTripCalls().back(), "Encrypt");

    fake.failMethod("Decrypt", E_FAIL, 1);
    PressTest();
    EXPECT_EQ(Messages(), Lines{"Decrypt failed: unspecified failure (0x80004005)"});
    EXPECT_FALSE(Texts().encode.empty());
    EXPECT_EQ(Texts().decode, "");
    EXPECT_EQ(Texts().decTime, "");

    fake.setReportedCount("Encrypt", 17);
    PressTest();
    EXPECT_EQ(Messages(), Lines{"Encrypt reported 17 words, more than the 16 it may give"});
    EXPECT_EQ(RoundTripCalls().back(), "Encrypt");
    EXPECT_EQ(Texts().encode, "");
}

TEST_F(Rsa3Page, KeyLengthsAndBasesThatLeaveNoRoomForDataAreReported)
{
    struct Case {
        const char* method;
        std::uint32_t count;
        const char* message;
    };
    const Case cases[] = {
        {"GetKeyLength", 0, "The RSA object holds no key"},
        {"GetKeyLength", (1u << 20) + 1, "GetKeyLength reported 1048577 words, more than the 1048576 it may give"},
        {"GetKeyLength", 8, "GetBase failed: invalid argument (0x80070057)"},  // a base longer than the key length says
        {"GetBase", 0, "The key's base is too small to hold any data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        fake.reset();
        ReachPage3();
        fake.setReportedCount(c.method, c.count);
        PressTest();
        EXPECT_EQ(Messages(), Lines{c.message});
        EXPECT_EQ(Texts(), Shown{});
        const Lines calls = RoundTripCalls();
        EXPECT_TRUE(std::find(calls.begin(), calls.end(), "Encrypt") == calls.end());
    }
}

TEST_F(Rsa3Page, ABaseWithAZeroTopWordKeepsTheDataBelowItAsAWholeNumber)
{
    ReachPage3();
    // A base of 17 words whose top word is zero, and a key length to match.
    fake.setReportedCount("GetKeyLength", 17);
    fake.setReportedCount("GetBase", 17);
    PressTest();
    Words base = FakeComponent::KeyNumber(1, 16);
    base.push_back(0);
    const Words data = WordsOfHex(Texts().data);
    ASSERT_EQ(data.size(), 17u);
    EXPECT_EQ(data.back(), 0u);
    EXPECT_TRUE(Below(data, base));
    // The fake refuses 17 words for its 16-word key; that too is reported.
    EXPECT_EQ(Messages(), Lines{"Encrypt failed: invalid argument (0x80070057)"});
}

// At start-up the first wizard runs before the program seeds the generator,
// so its data is that of seed 1. A child process shows what a fresh process
// draws; this process draws after an explicit seed of 1.
TEST_F(Rsa3Page, TheFirstWizardOfAProcessDrawsWhatSeedOneDraws)
{
    const auto firstData = [this] {
        ReachPage3();
        PressTest();
        return Texts().data;
    };
    if (std::getenv("TARVEL_FRESH_PROCESS_PROBE")) {
        std::printf("DATA=%s\n", firstData().c_str());
        return;
    }
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TARVEL_FRESH_PROCESS_PROBE", "1");
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=Rsa3Page.TheFirstWizardOfAProcessDrawsWhatSeedOneDraws"});
    ASSERT_TRUE(child.waitForFinished(60000));
    ASSERT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
    const std::string output = child.readAllStandardOutput().toStdString();
    const std::size_t at = output.find("DATA=");
    ASSERT_NE(at, std::string::npos) << output;
    const std::string fresh = output.substr(at + 5, output.find('\n', at) - at - 5);

    crt::srand(1);
    EXPECT_EQ(firstData(), fresh);
    LcgReference lcg(1);
    ExpectDataFrom(DrawnData(lcg, 16), FakeComponent::KeyNumber(1, 16), WordsOfHex(fresh));
}

}  // namespace
