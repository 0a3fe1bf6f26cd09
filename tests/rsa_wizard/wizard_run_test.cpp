// The wizard as the view runs it: modal, ended by the user, and new with new
// objects at every run.
#include "wizard_fixture.h"

#include "framework/doc_template.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QWizard>

#include <functional>

namespace {

using WizardRun = WizardTest;

// The wizard on screen, or null.
QWizard* ShownWizard()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* wizard = qobject_cast<QWizard*>(widget); wizard && wizard->isVisible())
            return wizard;
    return nullptr;
}

// RunRsaWizard as the view calls it; once the wizard is up, inside acts on
// it as a user would and must end it.
void RunWizard(const std::function<void(QWizard&)>& inside)
{
    QTimer::singleShot(0, [inside] {
        if (QWizard* wizard = ShownWizard())
            inside(*wizard);
    });
    RunRsaWizard(nullptr);
}

QString EditText(QWizard& wizard, int id)
{
    auto* edit = wizard.findChild<QLineEdit*>(QString::number(id));
    return edit ? edit->text() : QStringLiteral("<no control>");
}

TEST_F(WizardRun, EachRunStartsFreshAndCancelReleasesItsObjects)
{
    QString caption;
    RunWizard([&caption](QWizard& shown) {
        caption = shown.windowTitle();
        shown.findChild<QLineEdit*>(QString::number(IDC_USERID))->setText("Alice");
        shown.findChild<QLineEdit*>(QString::number(IDC_KEYLENGTH))->setText("4");
        shown.findChild<QCheckBox*>(QString::number(IDC_TESTGETSET))->setChecked(true);
        shown.button(QWizard::CustomButton2)->click();  // Next
        shown.button(QWizard::CancelButton)->click();
    });
    EXPECT_EQ(caption, "RSA Wizard");
    ASSERT_EQ(fake.createdObjects(), 2);
    EXPECT_EQ(fake.releasesOf(1), 1);
    EXPECT_EQ(fake.releasesOf(2), 1);
    const auto generations = CallsNamed("GenerateKey");
    ASSERT_EQ(generations.size(), 1u);
    EXPECT_EQ(generations[0].arg("userId"), "Alice");
    EXPECT_EQ(generations[0].arg("keyWords"), "4");
    EXPECT_EQ(CallsNamed("SetUserId").size(), 1u);

    // File New: a new wizard, as if nothing had happened before.
    QString userId, keyLength;
    bool checked = true;
    RunWizard([&](QWizard& shown) {
        userId = EditText(shown, IDC_USERID);
        keyLength = EditText(shown, IDC_KEYLENGTH);
        checked = shown.findChild<QCheckBox*>(QString::number(IDC_TESTGETSET))->isChecked();
        shown.close();  // the close box
    });
    EXPECT_EQ(userId, "Testing");
    EXPECT_EQ(keyLength, "16");
    EXPECT_FALSE(checked);
    ASSERT_EQ(fake.createdObjects(), 4);
    EXPECT_EQ(fake.releasesOf(3), 1);
    EXPECT_EQ(fake.releasesOf(4), 1);
    EXPECT_TRUE(CallsOf(3).empty());
    EXPECT_TRUE(CallsOf(4).empty());
    EXPECT_EQ(fake.liveObjects(), 0);
    EXPECT_EQ(fake.callsAfterRelease(), 0);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(WizardRun, HoldsTheFourPagesInOrderEachCreatableByItsClassName)
{
    const CRuntimeClass<CPropertyPage>* records[] = {RuntimeClassOf<CRSA1>(), RuntimeClassOf<CRS2>(),
                                                     RuntimeClassOf<CRSA3>(), RuntimeClassOf<CRSA4>()};
    const char* names[] = {"CRSA1", "CRS2", "CRSA3", "CRSA4"};
    Open();
    ASSERT_EQ(Sheet().GetPageCount(), 4);
    EXPECT_NE(Sheet().m_psh.dwFlags & PSH_WIZARD, 0u);
    for (int index = 0; index < 4; ++index) {
        SCOPED_TRACE(names[index]);
        EXPECT_STREQ(records[index]->m_lpszClassName, names[index]);
        const auto page = records[index]->CreateObject();
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->GetTemplateId(), 130u + static_cast<unsigned>(index));
        EXPECT_EQ(Sheet().GetPage(index)->GetTemplateId(), page->GetTemplateId());
    }
}

// Pages 2 to 4 reached without page 1 ever being initialised: no object, so
// nothing is called and each page says so.
TEST_F(WizardRun, PagesWithoutAnObjectSaySoAndCallNothing)
{
    CRSA1 keyGeneration;
    CRS2 keyDisplay;
    CRSA3 roundTrip;
    CRSA4 keySave;
    CPropertySheet sheet("RSA Wizard", nullptr, 2);
    for (CPropertyPage* page : std::initializer_list<CPropertyPage*>{&keyGeneration, &keyDisplay, &roundTrip, &keySave})
        sheet.AddPage(page);
    ASSERT_TRUE(sheet.Create());
    roundTrip.OnCommand(IDC_TEST);
    EXPECT_EQ(Messages(), std::vector<std::string>{"No RSA object could be created"});
    EXPECT_EQ(roundTrip.GetDlgItemText(IDC_DATA).str(), "");
    sheet.PressButton(PSBTN_NEXT);
    keySave.OnCommand(IDC_FILENAME_BUTTON);
    EXPECT_EQ(Messages(), std::vector<std::string>{"No RSA object could be created"});
    sheet.PressButton(PSBTN_BACK);
    sheet.PressButton(PSBTN_BACK);
    ASSERT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_EQ(keyDisplay.GetDlgItemText(IDC_GENTIME).str(), "No RSA object could be created");
    EXPECT_EQ(keyDisplay.GetDlgItemText(IDC_BASE).str(), "");
    sheet.DestroyWindow();
    EXPECT_EQ(fake.createdObjects(), 0);
    EXPECT_TRUE(fake.calls().empty());
}

}  // namespace
