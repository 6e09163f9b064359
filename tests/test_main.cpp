// test_main.cpp: the entry of every test program. A run whose filter selects no test fails: ctest sees
// the program and its exit code, not how many of its cases ran.
#include <gtest/gtest.h>

#include <stdio.h>

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    if (testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
        fprintf(stderr, "no test selected\n");
        return 1;
    }
    return failed;
}
