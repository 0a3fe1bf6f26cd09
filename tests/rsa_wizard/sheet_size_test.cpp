// The wizard's window as a property sheet: sized for its largest page before
// it is first shown, so it never changes size and clips no page.
#include "wizard_fixture.h"

#include <QApplication>
#include <QWidget>

namespace {

using WizardSheet = WizardTest;

// Controls of the page that do not lie wholly inside every widget between
// them and the sheet's window, which would clip them.
std::vector<std::string> ClippedControls(QWidget* page, QWidget* window)
{
    std::vector<std::string> clipped;
    for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        for (QWidget* outer = control->parentWidget(); outer; outer = outer->parentWidget()) {
            const QRect rect(control->mapTo(outer, QPoint(0, 0)), control->size());
            if (!outer->rect().contains(rect)) {
                clipped.push_back(control->objectName().toStdString() + " " +
                                  control->property("text").toString().toStdString());
                break;
            }
            if (outer == window)
                break;
        }
    }
    return clipped;
}

TEST_F(WizardSheet, KeepsOneSizeOnEveryPageAndHoldsEveryControl)
{
    Open();
    QWidget* window = Sheet().GetSafeHwnd();
    window->show();
    QApplication::processEvents();
    const QSize size = window->size();

    const auto check = [&](int page) {
        QApplication::processEvents();
        ASSERT_EQ(ActivePage(), page);
        EXPECT_EQ(window->width(), size.width()) << "on page " << page + 1;
        EXPECT_EQ(window->height(), size.height()) << "on page " << page + 1;
        EXPECT_EQ(ClippedControls(Page(page).GetSafeHwnd(), window), std::vector<std::string>{})
            << "on page " << page + 1;
    };
    check(0);
    GenerateWith("2");
    check(1);
    for (int page = 2; page < 4; ++page) {
        ASSERT_TRUE(Next());
        check(page);
    }
    for (int page = 2; page >= 0; --page) {
        ASSERT_TRUE(Back());
        check(page);
    }
}

}  // namespace
