#include "shell_test_app.h"

#include "shell/egc_setup_dialog.h"
#include "shell/enid_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace tessaro;

namespace {

template <typename T> T* child(QWidget& parent, const QString& name) {
    T* w = parent.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
}

void clickOk(QDialog& dialog) {
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

QComboBox* navarea(QWidget& form, int i) {
    return child<QComboBox>(form, QStringLiteral("AdditionalNAVAREACombo%1").arg(i));
}

TEST(EgcSetupDialogTest, NavareaBoxesFollowTheUnitAndTheTick) {
    test::App();
    struct Case {
        bool four;
        bool ticked;
    };
    for (const Case c : {Case{false, false}, Case{false, true}, Case{true, false}, Case{true, true}}) {
        EgcSetupValues v;
        v.support4ExtraNavAreas = c.four;
        v.addNavarea = c.ticked;
        v.navareas = {5, 0, 12, 0};
        EGCForm form(v, nullptr);
        EXPECT_FALSE(navarea(form, 0)->isHidden());
        EXPECT_EQ(navarea(form, 0)->isEnabled(), c.ticked);
        EXPECT_EQ(navarea(form, 0)->currentText(), QStringLiteral("5"));
        EXPECT_EQ(navarea(form, 1)->currentText(), QStringLiteral("None"));
        for (int i = 1; i < kNavareaBoxes; ++i) {
            EXPECT_EQ(navarea(form, i)->isHidden(), !c.four) << i;
            EXPECT_EQ(navarea(form, i)->isEnabled(), c.ticked) << i;
        }
        // Clicking the tick runs the same rules.
        child<QCheckBox>(form, QStringLiteral("AddNavareaCheck"))->click();
        EXPECT_EQ(navarea(form, 0)->isEnabled(), !c.ticked);
        EXPECT_EQ(navarea(form, 3)->isHidden(), !c.four);
        EXPECT_EQ(form.values().navareas, (std::array<int, 4>{5, 0, 12, 0}));
    }
}

TEST(EgcSetupDialogTest, FiltersAndFixedPositionControls) {
    test::App();
    EgcSetupValues v;
    v.fixedPositionsSupported = false;
    v.egcOnly = kSwitchUnknown;
    v.subjects[3] = true;
    EGCForm form(v, nullptr);

    auto* areas = child<QLineEdit>(form, QStringLiteral("CoastalWarningAreasText"));
    QTest::keyClicks(areas, QStringLiteral("ab1c-d"));
    EXPECT_EQ(areas->text(), QStringLiteral("ABCD"));
    for (const char* name : {"FixLatDegText4", "FixLatCombo4", "FixLonDegText0", "FixLonCombo2"})
        EXPECT_FALSE(child<QWidget>(form, QLatin1String(name))->isEnabled()) << name;
    EGCForm supported(EgcSetupValues{}, nullptr);
    auto* lon = child<QLineEdit>(supported, QStringLiteral("FixLonDegText0"));
    ASSERT_TRUE(lon->isEnabled());
    QTest::keyClicks(lon, QStringLiteral("1x7,5"));
    EXPECT_EQ(lon->text(), QStringLiteral("175"));

    EXPECT_EQ(child<QCheckBox>(form, QStringLiteral("EGCOnlyCheck"))->checkState(), Qt::PartiallyChecked);
    EXPECT_TRUE(child<QCheckBox>(form, QStringLiteral("SubjectCheckD"))->isChecked());
    const EgcSetupValues out = form.values();
    EXPECT_EQ(out.egcOnly, kSwitchUnknown);
    EXPECT_EQ(out.coastalAreas, QStringLiteral("ABCD"));
    EXPECT_FALSE(out.fixedPositionsSupported);
    // An undecided switch becomes a plain one once clicked.
    child<QCheckBox>(form, QStringLiteral("EGCOnlyCheck"))->click();
    EXPECT_NE(form.values().egcOnly, kSwitchUnknown);
}

TEST(EgcSetupDialogTest, BadLatitudeKeepsTheWindowOpenWithTheText) {
    test::App();
    EgcSetupValues v;
    v.fixedPositions[0] = {QStringLiteral("55"), QStringLiteral("N"), QStringLiteral("12"), QStringLiteral("E")};
    EGCForm form(v, nullptr);
    QList<EgcSetupValues> applied;
    QObject::connect(&form, &EGCForm::applied, [&applied](const EgcSetupValues& a) { applied << a; });
    form.show();
    auto* lat = child<QLineEdit>(form, QStringLiteral("FixLatDegText2"));
    QTest::keyClicks(lat, QStringLiteral("95"));

    clickOk(form);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(applied.isEmpty());
    auto* box = form.findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("Error: Latitude degrees field must contain a value between 0 and 90"));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Validation error"));
    EXPECT_EQ(form.focusWidget(), lat);
    box->close();

    lat->setText(QStringLiteral("45"));
    clickOk(form);
    EXPECT_FALSE(form.isVisible());
    ASSERT_EQ(applied.size(), 1);
    EXPECT_EQ(FormatFixedPositions(applied[0].fixedPositions), QStringLiteral(" 55,N,12,E"));
}

TEST(EnidDialogTest, RowsShowProvidersLiterallyAndOkGivesTheTicks) {
    test::App();
    ENIDForm form({{1234, QStringLiteral("P&O <b>Fleet</b>"), 1}, {23456, QStringLiteral("B"), 0}}, nullptr);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("ENID List"));
    const QList<QLabel*> providers = form.findChildren<QLabel*>(QStringLiteral("LabelProvider"));
    ASSERT_EQ(providers.size(), 2);
    EXPECT_EQ(providers[0]->text(), QStringLiteral("P&O <b>Fleet</b>"));
    EXPECT_EQ(providers[0]->textFormat(), Qt::PlainText);
    EXPECT_EQ(form.findChildren<QLabel*>(QStringLiteral("LabelStatus"))[1]->text(), QStringLiteral("Disabled"));
    EXPECT_EQ(form.states(), (QList<bool>{true, false}));

    QList<QList<bool>> applied;
    QObject::connect(&form, &ENIDForm::applied, [&applied](const QList<bool>& s) { applied << s; });
    child<QCheckBox>(form, QStringLiteral("CheckEnabled0"))->click();
    clickOk(form);
    ASSERT_EQ(applied.size(), 1);
    EXPECT_EQ(applied[0], (QList<bool>{false, false}));

    ENIDForm empty({}, nullptr);
    auto* label = empty.findChild<QLabel*>(QStringLiteral("EmptyLabel"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("No ENID's in mobile."));
}

} // namespace
