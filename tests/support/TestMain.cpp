#include <windows.h>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // A test run must never wait for a person: no critical-error or
    // missing-file boxes from the system.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
