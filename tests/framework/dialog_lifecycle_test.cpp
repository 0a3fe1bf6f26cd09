#include "test_windows.h"

#include "framework/prompts.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

namespace {

// Runs DoModal with `action` performed once the dialog's event loop runs.
INT_PTR RunModal(ExchangeDialog& dialog, const std::function<void(QWidget*)>& action)
{
    QObject guard;  // drops the action if the dialog never runs its loop
    QTimer::singleShot(0, &guard, [&] { action(dialog.GetSafeHwnd()); });
    return dialog.DoModal();
}

void Click(CWnd& wnd, int id)
{
    qobject_cast<QAbstractButton*>(wnd.GetDlgItem(id))->click();
}

void ExpectDestroyedOnce(const ExchangeDialog& dialog)
{
    EXPECT_EQ(dialog.initCount, 1);
    EXPECT_EQ(dialog.destroyCount, 1);
    EXPECT_EQ(dialog.postNcDestroyCount, 1);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

// Runs dialog modally, types into its name field and ends it with button.
INT_PTR TypeAndEndWith(ExchangeDialog& dialog, int button)
{
    return RunModal(dialog, [&](QWidget*) {
        dialog.SetDlgItemText(kNameEdit, "Typed");
        Click(dialog, button);
    });
}

}  // namespace

TEST(DialogLifecycle, OkReadsTheControlsEndsWithOkAndDestroysOnce)
{
    ExchangeDialog dialog;
    EXPECT_EQ(TypeAndEndWith(dialog, IDOK), IDOK);
    EXPECT_EQ(dialog.m_name, "Typed");
    ExpectDestroyedOnce(dialog);
}

TEST(DialogLifecycle, CancelEndsWithCancelWithoutReading)
{
    ExchangeDialog dialog;
    EXPECT_EQ(TypeAndEndWith(dialog, IDCANCEL), IDCANCEL);
    EXPECT_EQ(dialog.m_name, "Testing");
    ExpectDestroyedOnce(dialog);
}

TEST(DialogLifecycle, EscapeAndTheCloseBoxCancel)
{
    ExchangeDialog escaped;
    EXPECT_EQ(RunModal(escaped, [](QWidget* window) { QTest::keyClick(window, Qt::Key_Escape); }), IDCANCEL);
    ExpectDestroyedOnce(escaped);

    ExchangeDialog closed;
    EXPECT_EQ(RunModal(closed, [](QWidget* window) { window->close(); }), IDCANCEL);
    ExpectDestroyedOnce(closed);
}

TEST(DialogLifecycle, OkWithABadFieldKeepsTheDialogOpen)
{
    PromptSeam::TakeMessages();
    ExchangeDialog dialog;
    bool stillOpen = false;
    const INT_PTR result = RunModal(dialog, [&](QWidget* window) {
        dialog.SetDlgItemText(kLengthEdit, "-1");
        Click(dialog, IDOK);
        stillOpen = window->isVisible();
        Click(dialog, IDCANCEL);
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(PromptSeam::TakeMessages().size(), 1u);
    ExpectDestroyedOnce(dialog);
}

TEST(DialogLifecycle, EndDialogDuringInitReturnsWithoutWaiting)
{
    ExchangeDialog dialog;
    dialog.endInInit = true;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ExpectDestroyedOnce(dialog);
}

TEST(DialogLifecycle, DestroyWindowRunsTheTeardownOnlyOnce)
{
    ExchangeDialog dialog;
    ASSERT_EQ(dialog.Create(), TRUE);
    EXPECT_EQ(dialog.Create(), FALSE);  // already has a window
    dialog.DestroyWindow();
    dialog.DestroyWindow();
    ExpectDestroyedOnce(dialog);
}

TEST(DialogLifecycle, ButtonsRunTheirMessageMapEntries)
{
    ExchangeDialog dialog;
    dialog.Create();
    Click(dialog, kTestButton);
    Click(dialog, kTestButton);
    EXPECT_EQ(dialog.testCount, 2);
    EXPECT_TRUE(dialog.OnCommand(kTestButton));
    EXPECT_FALSE(dialog.OnCommand(4242));
    EXPECT_EQ(dialog.testCount, 3);
    dialog.DestroyWindow();
}
