#include "framework/prompts.h"

#include <gtest/gtest.h>

TEST(PromptSeam, RecordsEveryMessageOnceInOrder)
{
    PromptSeam::TakeMessages();
    EXPECT_EQ(AfxMessageBox("IUserDES failed"), IDOK);
    EXPECT_EQ(AfxMessageBox("<b>as it stands</b>", MB_OK), IDOK);

    EXPECT_EQ(PromptSeam::TakeMessages(), (std::vector<std::string>{"IUserDES failed", "<b>as it stands</b>"}));
    EXPECT_TRUE(PromptSeam::TakeMessages().empty());
}

TEST(PromptSeam, FileDialogsTakeQueuedAnswersThenCancel)
{
    PromptSeam::QueueFileDialogAnswer("/tmp/input.bin");
    PromptSeam::QueueFileDialogAnswer(std::nullopt);

    CFileDialog chosen(TRUE, nullptr, "*.*", OFN_HIDEREADONLY, "ALL(.)|*.*||");
    EXPECT_EQ(chosen.DoModal(), IDOK);
    EXPECT_EQ(chosen.GetPathName(), "/tmp/input.bin");

    CFileDialog cancelled(TRUE);
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_EQ(cancelled.GetPathName(), "");

    CFileDialog unanswered(TRUE);  // an empty queue cancels
    EXPECT_EQ(unanswered.DoModal(), IDCANCEL);
}
