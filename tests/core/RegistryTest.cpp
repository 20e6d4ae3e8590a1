// Registering windows: the first of a kind stays registered, and a pointer never outlives
// its window or object.
#include "FormAsk.h"
#include "FormProgress.h"
#include "Registry.h"
#include "ShareDM.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(RegisterWindow, TheFirstWindowOfAKindStaysRegistered)
{
    ASSERT_EQ(FormAsk, nullptr);
    auto *first = new TFormAsk;
    TFormAsk second;
    EXPECT_TRUE(RegisterWindow(FormAsk, first));
    EXPECT_FALSE(RegisterWindow(FormAsk, &second));
    EXPECT_EQ(FormAsk, first);
    delete first;
    EXPECT_EQ(FormAsk, nullptr);
    EXPECT_TRUE(RegisterWindow(FormAsk, &second));
    EXPECT_EQ(FormAsk, &second);
}

TEST(RegisterWindow, AWindowDestroyedWithItsParentLeavesNothingBehind)
{
    auto *parent = new QWidget;
    auto *progress = new TFormProgress(parent);
    ASSERT_TRUE(RegisterWindow(FormProgress, progress));
    delete parent;
    EXPECT_EQ(FormProgress, nullptr);
}

TEST(Registration, HoldsTheDataModuleOnlyWhileItLives)
{
    TestFolder folder;
    ASSERT_EQ(ShareDataModule, nullptr);
    TShareDataModule first;
    TShareDataModule second;
    {
        Registration<TShareDataModule> slot(ShareDataModule, &first);
        Registration<TShareDataModule> other(ShareDataModule, &second);
        EXPECT_TRUE(slot.Registered());
        EXPECT_FALSE(other.Registered());
        EXPECT_EQ(ShareDataModule, &first);
    }
    EXPECT_EQ(ShareDataModule, nullptr);
}

} // namespace
