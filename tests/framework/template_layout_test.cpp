#include "test_windows.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

struct OpenDialog {
    OpenDialog() { dialog.Create(); }
    ~OpenDialog() { dialog.DestroyWindow(); }
    ExchangeDialog dialog;
};

}  // namespace

TEST(TemplateLayout, EveryControlIsAWidgetOfItsKindFoundById)
{
    OpenDialog open;
    CDialog& dialog = open.dialog;

    auto* ok = qobject_cast<QPushButton*>(dialog.GetDlgItem(1));
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());
    auto* test = qobject_cast<QPushButton*>(dialog.GetDlgItem(kTestButton));
    ASSERT_NE(test, nullptr);
    EXPECT_FALSE(test->isDefault());
    EXPECT_NE(qobject_cast<QLineEdit*>(dialog.GetDlgItem(kLengthEdit)), nullptr);
    EXPECT_NE(qobject_cast<QCheckBox*>(dialog.GetDlgItem(kCheckBox)), nullptr);
    EXPECT_NE(qobject_cast<QLabel*>(dialog.GetDlgItem(kStaticText)), nullptr);
    auto* notes = qobject_cast<QPlainTextEdit*>(dialog.GetDlgItem(kNotesEdit));
    ASSERT_NE(notes, nullptr);
    EXPECT_TRUE(notes->isReadOnly());
    EXPECT_EQ(dialog.GetDlgItem(4242), nullptr);

    EXPECT_EQ(dialog.GetSafeHwnd()->windowTitle(), "Exchange");
    EXPECT_EQ(dialog.GetDlgItemText(kTestButton), "&Test");
}

TEST(TemplateLayout, DialogUnitsScaleWithTheDialogFont)
{
    OpenDialog open;
    QWidget* window = open.dialog.GetSafeHwnd();

    const QFontMetrics metrics(window->font());
    EXPECT_EQ(window->font().pointSize(), 10);
    EXPECT_EQ(window->font().family(), QApplication::font().family());
    const double unitX = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52.0 / 4;
    const double unitY = metrics.height() / 8.0;

    // OK sits at (140, 100) and is 50 by 14 units; the window is 200 by 120.
    const QRect ok = open.dialog.GetDlgItem(1)->geometry();
    EXPECT_NEAR(ok.x(), 140 * unitX, 140 * 0.125 + 1);
    EXPECT_NEAR(ok.y(), 100 * unitY, 1);
    EXPECT_NEAR(ok.width(), 50 * unitX, 50 * 0.125 + 1);
    EXPECT_NEAR(ok.height(), 14 * unitY, 1);
    EXPECT_NEAR(window->width(), 200 * unitX, 200 * 0.125 + 1);
    EXPECT_NEAR(window->height(), 120 * unitY, 1);

    // Placed proportionally: the Test button (x 140) and the length edit
    // (x 50) keep their ratio, and every control lies inside the window.
    const QRect edit = open.dialog.GetDlgItem(kLengthEdit)->geometry();
    EXPECT_NEAR(static_cast<double>(ok.x()) / edit.x(), 140.0 / 50.0, 0.05);
    for (int id : {1, 2, kTestButton, kLengthEdit, kNameEdit, kCheckBox, kStaticText, kNotesEdit})
        EXPECT_TRUE(window->rect().contains(open.dialog.GetDlgItem(id)->geometry())) << id;
}

TEST(TemplateLayout, AOneLineLabelTooShortForItsTextGrowsInsteadOfWrapping)
{
    OpenDialog open;
    QWidget* window = open.dialog.GetSafeHwnd();
    auto* label = qobject_cast<QLabel*>(open.dialog.GetDlgItem(1021));
    ASSERT_NE(label, nullptr);
    const QFontMetrics metrics(label->font());
    EXPECT_FALSE(label->wordWrap());
    EXPECT_GE(label->width(), metrics.horizontalAdvance(label->text()));
    EXPECT_LE(label->geometry().right(), window->width());
    EXPECT_EQ(label->height(), open.dialog.GetDlgItem(kStaticText)->height()) << "still one line high";
}
