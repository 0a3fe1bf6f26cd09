#include "des_hash_tests/test_des.h"
#include "des_hash_tests/test_md5.h"
#include "des_hash_tests/test_sha1.h"
#include "des_hash_tests/test_dialog_resource_ids.h"
#include "fake_component.h"
#include "modal_driver.h"
#include "tarvel3_resources.h"

#include "framework/prompts.h"

#include <gtest/gtest.h>

#include <string>

using namespace tarvel3_ids;

namespace {

enum class Which { Des, Sha1, Md5 };

struct LifetimeCase {
    Which which;
    DialogEnd end;
};

std::string CaseName(const testing::TestParamInfo<LifetimeCase>& info)
{
    const char* dialog = info.param.which == Which::Des ? "Des" : info.param.which == Which::Sha1 ? "Sha1" : "Md5";
    const char* end = info.param.end == DialogEnd::OkButton    ? "Ok"
                      : info.param.end == DialogEnd::EscapeKey ? "Escape"
                                                               : "CloseBox";
    return std::string(dialog) + "EndedBy" + end;
}

// Runs one command's dialog from construction to the end of DoModal, as the
// view does, clicking the dialog's own button once while it is open.
INT_PTR RunCommand(Which which, DialogEnd end)
{
    switch (which) {
    case Which::Des: {
        CTestDES dialog(nullptr);
        return RunModal(dialog, end, [&] { dialog.OnCommand(IDC_TEST); });
    }
    case Which::Sha1: {
        CTestSHA1 dialog(nullptr);
        return RunModal(dialog, end, [&] { dialog.OnCommand(IDC_FILENAME_BUTTON); });  // file dialog cancelled
    }
    case Which::Md5: {
        CTestMD5 dialog(nullptr);
        return RunModal(dialog, end, [&] { dialog.OnCommand(IDC_TEST); });
    }
    }
    return -1;
}

class DialogLifetime : public testing::TestWithParam<LifetimeCase> {
protected:
    void SetUp() override
    {
        InstallTarvel3Resources();
        PromptSeam::AnswerUnattended();
        PromptSeam::TakeMessages();
    }
    FakeComponent fake;
};

TEST_P(DialogLifetime, EachRunMakesItsOwnObjectAndReleasesItExactlyOnce)
{
    const LifetimeCase& param = GetParam();
    const INT_PTR first = RunCommand(param.which, param.end);
    EXPECT_EQ(first, param.end == DialogEnd::OkButton ? IDOK : IDCANCEL);
    const INT_PTR second = RunCommand(param.which, param.end);
    EXPECT_EQ(second, first);

    EXPECT_EQ(fake.createdObjects(), 2);
    EXPECT_EQ(fake.releasesOf(1), 1);
    EXPECT_EQ(fake.releasesOf(2), 1);
    EXPECT_EQ(fake.liveObjects(), 0);
    EXPECT_EQ(fake.callsAfterRelease(), 0);
    EXPECT_TRUE(PromptSeam::TakeMessages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    AllDialogsAllEndings, DialogLifetime,
    testing::Values(LifetimeCase{Which::Des, DialogEnd::OkButton}, LifetimeCase{Which::Des, DialogEnd::EscapeKey},
                    LifetimeCase{Which::Des, DialogEnd::CloseBox}, LifetimeCase{Which::Sha1, DialogEnd::OkButton},
                    LifetimeCase{Which::Sha1, DialogEnd::EscapeKey}, LifetimeCase{Which::Sha1, DialogEnd::CloseBox},
                    LifetimeCase{Which::Md5, DialogEnd::OkButton}, LifetimeCase{Which::Md5, DialogEnd::EscapeKey},
                    LifetimeCase{Which::Md5, DialogEnd::CloseBox}),
    CaseName);

}  // namespace
