#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "DataSet.h"
#include "support/TempFolder.h"

namespace {

// Two writers of one name would leave one user of the file with the other's picture; the second
// write fails the set and leaves the first one's bytes.
TEST(DataSet, ASecondWriteOfOneFileFailsAndKeepsTheFirst)
{
    CTempFolder folder;
    CDataSet data(folder.Path().string());
    ASSERT_TRUE(data.WriteText("System/a.txt", "first"));
    EXPECT_TRUE(data.WriteText("System/b.txt", "other"));
    EXPECT_FALSE(data.Failed());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(data.WriteText("System/a.txt", "second"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("GameData/System/a.txt is written twice"), std::string::npos);
    EXPECT_TRUE(data.Failed());
    EXPECT_EQ(data.FileCount(), 2);
    std::ifstream in(folder.Path() / "GameData/System/a.txt", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "first");
}

} // namespace
