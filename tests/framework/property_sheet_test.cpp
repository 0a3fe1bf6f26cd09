#include "test_windows.h"

#include "framework/prompts.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWizard>

#include <gtest/gtest.h>

namespace {

using Log = std::vector<std::string>;

class PropertySheetTest : public ::testing::Test {
protected:
    PropertySheetTest()
    {
        PromptSeam::TakeMessages();
        for (LoggingPage* page : {&first, &second, &third})
            sheet.AddPage(page);
        sheet.SetWizardMode();
    }

    // The log since the last call.
    Log Take() { return std::exchange(log, {}); }

    QWizard* Window() { return qobject_cast<QWizard*>(sheet.GetSafeHwnd()); }

    Log log;
    LoggingPage first{300, 0, log};
    LoggingPage second{301, 1, log};
    LoggingPage third{302, 2, log};
    CPropertySheet sheet{"RSA Wizard"};
};

}  // namespace

TEST_F(PropertySheetTest, TheFirstPageIsCreatedThenActivated)
{
    ASSERT_EQ(sheet.Create(), TRUE);

    EXPECT_EQ(Take(), (Log{"init 0", "setactive 0"}));
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_EQ(sheet.GetActivePage(), &first);
    EXPECT_EQ(first.GetParent(), &sheet);
    EXPECT_EQ(second.GetSafeHwnd(), nullptr);  // pages are made when first shown
    EXPECT_EQ(Window()->windowTitle(), "RSA Wizard");
    EXPECT_EQ(Window()->buttonText(QWizard::CustomButton1), "< &Back");
    EXPECT_EQ(Window()->buttonText(QWizard::CustomButton2), "&Next >");
    EXPECT_FALSE(Window()->button(QWizard::CustomButton1)->isEnabled());
    EXPECT_EQ(sheet.PressButton(PSBTN_BACK), FALSE);
    sheet.DestroyWindow();
}

TEST_F(PropertySheetTest, SetActiveRunsOnBackAsWellAsNext)
{
    sheet.Create();
    Take();

    EXPECT_EQ(sheet.PressButton(PSBTN_NEXT), TRUE);
    EXPECT_EQ(Take(), (Log{"next 0", "killactive 0", "init 1", "setactive 1"}));
    EXPECT_EQ(sheet.PressButton(PSBTN_BACK), TRUE);
    EXPECT_EQ(Take(), (Log{"back 1", "killactive 1", "setactive 0"}));
    EXPECT_EQ(sheet.PressButton(PSBTN_NEXT), TRUE);
    EXPECT_EQ(Take(), (Log{"next 0", "killactive 0", "setactive 1"}));  // no second init
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_TRUE(Window()->currentPage()->isAncestorOf(second.GetSafeHwnd()));
    sheet.DestroyWindow();
}

TEST_F(PropertySheetTest, ReactivationShowsTheFieldsAgain)
{
    first.m_value = 7;
    sheet.Create();
    sheet.PressButton(PSBTN_NEXT);
    first.m_value = 9;  // changed while the page is away
    sheet.PressButton(PSBTN_BACK);
    EXPECT_EQ(first.GetDlgItemText(1001), "9");
    sheet.DestroyWindow();
}

TEST_F(PropertySheetTest, AFailingKillActiveKeepsThePage)
{
    sheet.Create();
    first.SetDlgItemText(1001, "letters");
    Take();

    EXPECT_EQ(sheet.PressButton(PSBTN_NEXT), TRUE);

    EXPECT_EQ(Take(), (Log{"next 0", "killactive 0"}));
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_EQ(PromptSeam::TakeMessages(), std::vector<std::string>{"Please enter a positive integer."});
    EXPECT_EQ(second.GetSafeHwnd(), nullptr);
    sheet.DestroyWindow();
}

TEST_F(PropertySheetTest, WizardNextAnsweringMinusOneKeepsThePageWithoutKillActive)
{
    first.nextAnswer = -1;
    sheet.Create();
    Take();

    sheet.PressButton(PSBTN_NEXT);

    EXPECT_EQ(Take(), (Log{"next 0"}));
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    sheet.DestroyWindow();
}

TEST_F(PropertySheetTest, NextIsUnavailableOnTheLastPage)
{
    sheet.Create();
    sheet.PressButton(PSBTN_NEXT);
    sheet.PressButton(PSBTN_NEXT);
    ASSERT_EQ(sheet.GetActiveIndex(), 2);
    Take();

    EXPECT_FALSE(Window()->button(QWizard::CustomButton2)->isEnabled());
    EXPECT_TRUE(Window()->button(QWizard::CustomButton1)->isEnabled());
    EXPECT_EQ(sheet.PressButton(PSBTN_NEXT), FALSE);
    EXPECT_TRUE(Take().empty());
    sheet.DestroyWindow();
}

TEST_F(PropertySheetTest, CancelDestroysEveryCreatedPageOnceInOrder)
{
    QObject guard;
    QTimer::singleShot(0, &guard, [&] {
        Window()->button(QWizard::CustomButton2)->click();
        Take();
        Window()->button(QWizard::CancelButton)->click();
    });

    EXPECT_EQ(sheet.DoModal(), IDCANCEL);

    EXPECT_EQ(Take(), (Log{"destroy 0", "postncdestroy 0", "destroy 1", "postncdestroy 1"}));
    EXPECT_EQ(first.GetSafeHwnd(), nullptr);
    EXPECT_EQ(sheet.GetSafeHwnd(), nullptr);
    sheet.DestroyWindow();  // nothing left to tear down
    EXPECT_TRUE(Take().empty());
}

TEST_F(PropertySheetTest, EscapeEndsTheModalWizard)
{
    QObject guard;
    QTimer::singleShot(0, &guard, [&] { QTest::keyClick(Window(), Qt::Key_Escape); });

    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(first.GetSafeHwnd(), nullptr);
}

TEST_F(PropertySheetTest, ASecondRunStartsAfresh)
{
    sheet.Create();
    sheet.PressButton(PSBTN_NEXT);
    sheet.PressButton(PSBTN_CANCEL);
    EXPECT_EQ(sheet.PressButton(PSBTN_NEXT), FALSE);  // the wizard has ended
    sheet.DestroyWindow();
    Take();

    ASSERT_EQ(sheet.Create(), TRUE);
    EXPECT_EQ(Take(), (Log{"init 0", "setactive 0"}));
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    sheet.DestroyWindow();
}
