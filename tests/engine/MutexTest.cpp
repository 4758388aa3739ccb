#include <gtest/gtest.h>
#include <string>
#include "engine/Mutex.h"

namespace {

// A name no other test process uses at the same time.
std::string UniqueName(const char* pszTag)
{
    return std::string("C:?zorva-test?") + pszTag + "?" + std::to_string(GetCurrentProcessId());
}

}  // namespace

TEST(MutexTest, InstanceNameReplacesEverySeparator)
{
    char szName[MAX_PATH + 1];
    MakeInstanceMutexName("C:\\Games\\Zorva/bin\\Zorva.exe", szName, sizeof(szName));
    EXPECT_STREQ(szName, "C:?Games?Zorva?bin?Zorva.exe");
    MakeInstanceMutexName("/usr/local/bin/zorva", szName, 8);
    EXPECT_STREQ(szName, "?usr?lo");
    MakeInstanceMutexName("", szName, sizeof(szName));
    EXPECT_STREQ(szName, "");
}

TEST(MutexTest, OpenReportsAnExistingMutexAndReleaseFreesTheName)
{
    const std::string name = UniqueName("open");
    CMutex first;
    EXPECT_EQ(first.Open(name.c_str()), 0);
    {
        CMutex second;
        EXPECT_EQ(second.Open(name.c_str()), 1);
        second.Release();
        EXPECT_FALSE(second.IsOpen());
    }
    CMutex third;
    EXPECT_EQ(third.Open(name.c_str()), 1);
    first.Wait();  // the owner waits for nothing
    first.Release();
    EXPECT_EQ(third.Open(name.c_str()), 0);
    // Re-opening under another name first lets go of the old one.
    EXPECT_EQ(third.Open(UniqueName("other").c_str()), 0);
    EXPECT_EQ(first.Open(name.c_str()), 0);
}

TEST(MutexTest, DestructorReleases)
{
    const std::string name = UniqueName("dtor");
    {
        CMutex owner;
        ASSERT_EQ(owner.Open(name.c_str()), 0);
    }
    CMutex next;
    EXPECT_EQ(next.Open(name.c_str()), 0);
}

TEST(MutexTest, SecondInstanceRaisesTheFirstAndMayNotRun)
{
    const std::string name = UniqueName("single");
    // Nobody owns the name yet: nothing to raise.
    EXPECT_EQ(ActivateOtherInstance(name.c_str()), 1);

    CMutex first;
    ASSERT_TRUE(CheckSingleInstance(&first, name.c_str()));
    EXPECT_TRUE(first.IsOpen());
    EXPECT_EQ(ActivateOtherInstance(name.c_str()), 0);

    CMutex second;
    EXPECT_FALSE(CheckSingleInstance(&second, name.c_str()));
    // Names derived from different folders do not collide.
    CMutex elsewhere;
    EXPECT_TRUE(CheckSingleInstance(&elsewhere, (name + "?other-folder").c_str()));
}

TEST(MutexTest, ToolhelpIsAlwaysThere)
{
    EXPECT_EQ(LoadToolhelpFunctions(), 0);
}
