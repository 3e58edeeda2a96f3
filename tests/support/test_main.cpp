// The entry of both test programs. A filter that selects no test fails the run, and
// the listing uses bare line feeds, as CMake's test discovery expects.
#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    if (GTEST_FLAG_GET(list_tests) || testing::UnitTest::GetInstance()->test_to_run_count() > 0)
        return result;
    std::fprintf(stderr, "No test matched the filter \"%s\".\n", GTEST_FLAG_GET(filter).c_str());
    return 1;
}
