// Page 2: the three numbers of page 1's first object, fetched afresh at every
// activation, with page 1's generation time.
#include "wizard_fixture.h"

namespace {

using Lines = std::vector<std::string>;
using Rsa2Page = WizardTest;

struct Shown {
    std::string base, publicKey, privateKey, time;
    bool operator==(const Shown&) const = default;
};

Shown FakeKeyTexts(std::uint32_t keyWords)
{
    return {ExpectedHex(FakeComponent::KeyNumber(1, keyWords)), ExpectedHex(FakeComponent::KeyNumber(2, keyWords)),
            ExpectedHex(FakeComponent::KeyNumber(3, keyWords)), "Key Generation Time 0 milliseconds"};
}

class Rsa2PageTexts : public Rsa2Page {
protected:
    Shown Texts() { return {Text(1, IDC_BASE), Text(1, IDC_PUBLICKEY), Text(1, IDC_PRIVATEKEY), Text(1, IDC_GENTIME)}; }
};

TEST_F(Rsa2PageTexts, ShowsTheKeyFromSixGetterCallsInOrder)
{
    for (std::uint32_t keyWords : {1u, 2u, 5u, 16u}) {
        SCOPED_TRACE(keyWords);
        fake.reset();
        Open();
        GenerateWith(std::to_string(keyWords));
        ASSERT_EQ(ActivePage(), 1);
        EXPECT_EQ(Texts(), FakeKeyTexts(keyWords));
        // Every text is 8 digits a word, the base's top bit showing first.
        EXPECT_EQ(Texts().base.size(), 8 * keyWords + (keyWords + 1) / 2);
        EXPECT_EQ(Texts().base[0], '8');

        const auto calls = CallsOf(1);
        ASSERT_EQ(calls.size(), 7u) << testing::PrintToString(fake.callTexts());
        const char* getters[] = {"GetBase", "GetPublicKey", "GetPrivateKey"};
        for (int row = 0; row < 3; ++row) {
            const FakeCall& query = calls[static_cast<std::size_t>(1 + 2 * row)];
            const FakeCall& fetch = calls[static_cast<std::size_t>(2 + 2 * row)];
            EXPECT_EQ(query.method, getters[row]);
            EXPECT_EQ(query.arg("words"), "null");
            EXPECT_EQ(fetch.method, getters[row]);
            EXPECT_EQ(fetch.arg("words"), "buffer");
            EXPECT_EQ(fetch.arg("count"), query.out("count"));
        }
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Rsa2PageTexts, BackFromPage3FetchesAgainAndAfterACopyShowsTheCopy)
{
    Open();
    GenerateWith("4", true);
    const Shown first = Texts();
    EXPECT_EQ(first, FakeKeyTexts(4));
    Next();
    Back();
    ASSERT_EQ(ActivePage(), 1);
    EXPECT_EQ(Texts(), first);
    // Both fetches went to the object that received the copy.
    Lines getters;
    for (const FakeCall& call : fake.calls())
        if (call.method.rfind("Get", 0) == 0 && call.object == 2)
            getters.push_back(call.method);
    EXPECT_EQ(getters.size(), 12u);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Rsa2PageTexts, AFailingGetterIsReportedAndNoStaleNumberStays)
{
    Open();
    GenerateWith("16");
    Back();
    fake.failMethod("GetPrivateKey", E_NOTIMPL, 1);
    GenerateWith("2");
    ASSERT_EQ(ActivePage(), 1);
    EXPECT_EQ(Messages(), Lines{"GetPrivateKey failed: not implemented (0x80004001)"});
    // The numbers read before the failure are the new key's; the 16-word
    // private key of the key before is gone.
    EXPECT_EQ(Texts().base, FakeKeyTexts(2).base);
    EXPECT_EQ(Texts().publicKey, FakeKeyTexts(2).publicKey);
    EXPECT_EQ(Texts().privateKey, "");
}

TEST_F(Rsa2PageTexts, AnUnbelievableCountIsReportedAndNotAllocated)
{
    Open();
    fake.setReportedCount("GetBase", (1u << 20) + 1);
    GenerateWith("16");
    ASSERT_EQ(ActivePage(), 1);
    EXPECT_EQ(Messages(), Lines{"GetBase reported 1048577 words, more than the 1048576 it may give"});
    EXPECT_EQ(Texts().base, "");
    EXPECT_EQ(CallsNamed("GetBase").size(), 1u);  // no fetch into a buffer
}

}  // namespace
