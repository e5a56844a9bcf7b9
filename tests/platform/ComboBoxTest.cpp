#include "platform/ComboBox.h"
#include "platform/DropDownList.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kListId = 42;

class ComboBoxTest : public ::testing::TestWithParam<bool> {
protected:
    ComboBoxTest() : list(new DropDownList(GetParam(), &parent))
    {
        list->setProperty(CWnd::kControlIdProperty, kListId);
        combo.SubclassDlgItem(kListId, &parent);
        QObject::connect(list, &DropDownList::selectionChanged, [this] { ++reported; });
    }

    std::vector<std::string> Entries() const
    {
        std::vector<std::string> entries;
        for (int i = 0; i < combo.GetCount(); ++i)
            entries.push_back(combo.GetLBText(i));
        return entries;
    }

    QWidget parent;
    DropDownList* list;
    CComboBox combo;
    int reported = 0;
};

TEST_P(ComboBoxTest, EntriesTheProgramAddsSelectNothing)
{
    combo.AddString("first");
    combo.AddStrings({"second", "third"});

    EXPECT_EQ(combo.GetCount(), 3);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    EXPECT_EQ(combo.GetWindowText(), "");
    EXPECT_EQ(reported, 0);
}

TEST_P(ComboBoxTest, ReportsOnlySelectionsTheUserMakes)
{
    combo.AddStrings({"a", "b", "c"});
    EXPECT_EQ(combo.SetCurSel(1), 1);
    combo.ResetContent();
    combo.AddStrings({"a", "b", "c"});
    EXPECT_EQ(reported, 0);

    list->setCurrentIndex(2);
    EXPECT_EQ(reported, 1);
    EXPECT_EQ(combo.GetCurSel(), 2);
    EXPECT_EQ(combo.GetWindowText(), "c");
}

TEST_P(ComboBoxTest, SelectingOutOfRangeClearsTheSelection)
{
    combo.AddStrings({"a", "b"});
    combo.SetCurSel(0);
    EXPECT_EQ(combo.SetCurSel(2), CB_ERR);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    EXPECT_EQ(combo.SetCurSel(-1), CB_ERR);
    EXPECT_EQ(combo.GetLBText(5), "");
}

TEST_P(ComboBoxTest, ResetContentEmptiesTheList)
{
    combo.AddStrings({"a", "b"});
    combo.SetCurSel(1);
    combo.ResetContent();
    EXPECT_EQ(combo.GetCount(), 0);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    EXPECT_EQ(combo.GetWindowText(), "");
}

TEST_P(ComboBoxTest, KeepsEveryByteOfTheCodePage)
{
    const std::string text = "Caf\xE9 \x80 \x9F";
    combo.AddString(text);
    EXPECT_EQ(combo.GetLBText(0), text);
}

INSTANTIATE_TEST_SUITE_P(SortedAndUnsorted, ComboBoxTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Sorted" : "Unsorted"; });

TEST(SortedComboBox, KeepsEntriesInAscendingOrderIgnoringCase)
{
    QWidget parent;
    auto* list = new DropDownList(true, &parent);
    list->setProperty(CWnd::kControlIdProperty, kListId);
    CComboBox combo;
    ASSERT_TRUE(combo.SubclassDlgItem(kListId, &parent));

    EXPECT_EQ(combo.AddString("chr_wait_health"), 0);
    EXPECT_EQ(combo.AddString("Chr_Big_Head"), 0);
    combo.AddStrings({"chr_inv_reset", "chr_invincible", "- Select a Character Command =====", "cm_anim both",
                      "cm_anim_block both"});

    const std::vector<std::string> expected = {"- Select a Character Command =====", "Chr_Big_Head",
                                               "chr_inv_reset", "chr_invincible", "chr_wait_health",
                                               "cm_anim both", "cm_anim_block both"};
    ASSERT_EQ(combo.GetCount(), int(expected.size()));
    for (int i = 0; i < combo.GetCount(); ++i)
        EXPECT_EQ(combo.GetLBText(i), expected[std::size_t(i)]) << "position " << i;
}

TEST(UnsortedComboBox, KeepsEntriesInTheOrderAdded)
{
    QWidget parent;
    auto* list = new DropDownList(false, &parent);
    list->setProperty(CWnd::kControlIdProperty, kListId);
    CComboBox combo;
    ASSERT_TRUE(combo.SubclassDlgItem(kListId, &parent));

    EXPECT_EQ(combo.AddString("b"), 0);
    EXPECT_EQ(combo.AddString("A"), 1);
    combo.AddStrings({"c", "a"});
    EXPECT_EQ(combo.GetLBText(0), "b");
    EXPECT_EQ(combo.GetLBText(1), "A");
    EXPECT_EQ(combo.GetLBText(2), "c");
    EXPECT_EQ(combo.GetLBText(3), "a");
}

TEST(ComboBoxBinding, RefusesAControlThatIsNoDropDownList)
{
    QWidget parent;
    auto* other = new QWidget(&parent);
    other->setProperty(CWnd::kControlIdProperty, kListId);
    CComboBox combo;
    EXPECT_FALSE(combo.SubclassDlgItem(kListId, &parent));
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    EXPECT_EQ(combo.AddString("x"), CB_ERR);
}

} // namespace
