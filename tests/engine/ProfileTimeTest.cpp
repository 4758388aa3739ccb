#include <gtest/gtest.h>

#include "engine/ProfileTime.h"
#include "rvm/rvm_stl.h"

TEST(ProfileTime, EmptyReportAndRows)
{
    CProfileTime::Report();   // start empty
    const rvm::string rule = "--------------------------------------------\n";
    const rvm::string head = "    time :    count :      avg : name       \n";
    EXPECT_EQ(CProfileTime::FormatReport(), rule + head + rule + rule);

    CProfileTime::Begin("load");
    CProfileTime::Begin("alpha");   // started, never ended: count 0, average 0
    CProfileTime::End("load");
    CProfileTime::End("load");      // not running: no change
    CProfileTime::End("unknown");   // reported and ignored
    PROFILERECORD rec;
    ASSERT_TRUE(CProfileTime::Find("load", &rec));
    EXPECT_EQ(rec.nCount, 1);
    EXPECT_EQ(rec.bRunning, 0);
    EXPECT_FALSE(CProfileTime::Find("unknown", &rec));
    rvm::string text = CProfileTime::FormatReport();
    char szAlpha[128];
    snprintf(szAlpha, sizeof(szAlpha), "%8d : %8d : %8.6f : %s\n", 0, 0, 0.0, "alpha");
    size_t nAlpha = text.find(szAlpha);
    size_t nLoad = text.find(" : load\n");
    EXPECT_NE(nAlpha, rvm::string::npos);
    EXPECT_NE(nLoad, rvm::string::npos);
    EXPECT_LT(nAlpha, nLoad);   // name order
    CProfileTime::Report();
    EXPECT_EQ(CProfileTime::FormatReport(), rule + head + rule + rule);
}
