#include "platform/OleSession.h"

#include <gtest/gtest.h>

TEST(OleSession, HoldsASingleThreadedApartmentForItsLife)
{
    {
        COleSession ole;
        ASSERT_EQ(S_OK, ole.Result());
        EXPECT_EQ(RPC_E_CHANGED_MODE, CoInitializeEx(nullptr, COINIT_MULTITHREADED)) << "apartment-threaded";
        EXPECT_EQ(S_FALSE, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        CoUninitialize();
    }
    EXPECT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED)) << "uninitialised when it ends";
    CoUninitialize();
}
