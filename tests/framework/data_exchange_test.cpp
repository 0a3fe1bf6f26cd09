#include "test_windows.h"

#include "framework/prompts.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

namespace {

class DataExchangeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PromptSeam::TakeMessages();
        dialog.Create();
    }
    void TearDown() override { dialog.DestroyWindow(); }

    QLineEdit* Edit(int id) { return qobject_cast<QLineEdit*>(dialog.GetDlgItem(id)); }
    QCheckBox* CheckBox() { return qobject_cast<QCheckBox*>(dialog.GetDlgItem(kCheckBox)); }
    // Types into both edits and sets the check box, as a user would.
    void Fill(const QString& length, const QString& name)
    {
        Edit(kLengthEdit)->setText(length);
        Edit(kNameEdit)->setText(name);
        CheckBox()->setChecked(true);
    }

    ExchangeDialog dialog;
};

}  // namespace

TEST(ParseUnsignedDecimal, AcceptsDigitsWithSurroundingBlanksUpToTheLargestValue)
{
    const std::pair<const char*, UINT> accepted[] = {{"16", 16}, {" 16 ", 16}, {"\t7\t", 7},
                                                     {"0", 0},   {"0010", 10}, {"4294967295", 4294967295u}};
    for (const auto& [text, expected] : accepted) {
        UINT value = 99;
        EXPECT_TRUE(ParseUnsignedDecimal(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
}

TEST(ParseUnsignedDecimal, RejectsEverythingElseAndLeavesTheValue)
{
    for (const char* text :
         {"", "   ", "-1", "4294967296", "99999999999999999999", "1e3", "abc", "+5", "0x10", "1 2", "12a", "1.0"}) {
        UINT value = 99;
        EXPECT_FALSE(ParseUnsignedDecimal(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, 99u) << text;
    }
}

TEST_F(DataExchangeTest, InitDialogShowsTheFields)
{
    EXPECT_EQ(Edit(kLengthEdit)->text(), "16");
    EXPECT_EQ(Edit(kNameEdit)->text(), "Testing");
    EXPECT_FALSE(CheckBox()->isChecked());
}

TEST_F(DataExchangeTest, ReadsEveryFieldBack)
{
    Fill(" 32 ", "Grüße");

    EXPECT_EQ(dialog.UpdateData(TRUE), TRUE);
    EXPECT_EQ(dialog.m_length, 32u);
    EXPECT_EQ(dialog.m_name, "Grüße");
    EXPECT_EQ(dialog.m_check, 1);
    EXPECT_TRUE(PromptSeam::TakeMessages().empty());
}

TEST_F(DataExchangeTest, AFailedReadStopsAtTheFirstBadFieldWithOneMessageAndFocus)
{
    Fill("abc", "Changed");

    EXPECT_EQ(dialog.UpdateData(TRUE), FALSE);

    EXPECT_EQ(dialog.m_length, 16u);
    EXPECT_EQ(dialog.m_name, "Testing");  // later fields are not read
    EXPECT_EQ(dialog.m_check, FALSE);
    EXPECT_EQ(PromptSeam::TakeMessages(), std::vector<std::string>{"Please enter a positive integer."});
    EXPECT_EQ(dialog.GetSafeHwnd()->focusWidget(), Edit(kLengthEdit));
    EXPECT_EQ(Edit(kLengthEdit)->selectedText(), "abc");
}

TEST_F(DataExchangeTest, WritesTextsAsPlainTextNeverMarkup)
{
    dialog.m_static = "<b>x</b> & y";
    dialog.m_notes = "<i>line one</i>\nline two";
    dialog.m_name = "<b>name</b>";
    dialog.m_length = 4294967295u;
    dialog.m_check = TRUE;

    EXPECT_EQ(dialog.UpdateData(FALSE), TRUE);

    auto* label = qobject_cast<QLabel*>(dialog.GetDlgItem(kStaticText));
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_EQ(label->text(), "<b>x</b> & y");
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(dialog.GetDlgItem(kNotesEdit))->toPlainText(), "<i>line one</i>\nline two");
    EXPECT_EQ(Edit(kNameEdit)->text(), "<b>name</b>");
    EXPECT_EQ(Edit(kLengthEdit)->text(), "4294967295");
    EXPECT_TRUE(CheckBox()->isChecked());

    // What was written reads back unchanged.
    EXPECT_EQ(dialog.UpdateData(TRUE), TRUE);
    EXPECT_EQ(dialog.m_static, "<b>x</b> & y");
    EXPECT_EQ(dialog.m_notes, "<i>line one</i>\nline two");
}

TEST_F(DataExchangeTest, DlgItemTextRoundTripsUtf8)
{
    dialog.SetDlgItemText(kNameEdit, "Schlüssel ✓");
    EXPECT_EQ(dialog.GetDlgItemText(kNameEdit), "Schlüssel ✓");
    EXPECT_EQ(dialog.GetDlgItemText(4242), "");
}
