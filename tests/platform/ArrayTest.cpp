#include "platform/Array.h"
#include "platform/String.h"

#include <gtest/gtest.h>

TEST(Array, AppendsInOrderAndEmpties)
{
    CStringArray arr;
    for (int i = 0; i < 1000; ++i)
    {
        CString str;
        str.Format("entry %d", i);
        EXPECT_EQ(i, arr.Add(str));
    }
    ASSERT_EQ(1000, arr.GetSize());
    EXPECT_STREQ("entry 0", arr[0]);
    EXPECT_STREQ("entry 999", arr[999]);

    arr.Add(arr[5]); // an element of the array itself, across a reallocation
    EXPECT_STREQ("entry 5", arr[1000]);

    arr.SetSize(0);
    EXPECT_EQ(0, arr.GetSize());
    arr.Add("again");
    EXPECT_EQ(1, arr.GetSize());
    EXPECT_STREQ("again", arr[0]);
}

TEST(Array, SetSizeGrowsWithEmptyElementsAndShrinks)
{
    CStringArray arr;
    arr.SetSize(3);
    EXPECT_EQ(3, arr.GetSize());
    EXPECT_TRUE(arr[2].IsEmpty());
    arr[1] = "middle";
    arr.SetSize(2);
    EXPECT_EQ(2, arr.GetSize());
    EXPECT_STREQ("middle", arr[1]);
}
