// The entry of both test programs: GoogleTest's, plus two guards that keep a run
// honest. A filter that selects no test fails the run instead of passing it, and
// the listing uses bare line feeds, as CMake's test discovery expects.
#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    if (GTEST_FLAG_GET(list_tests)) return result;
    if (testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
        std::fprintf(stderr, "No test matched the filter \"%s\": nothing was tested.\n",
                     GTEST_FLAG_GET(filter).c_str());
        return 1;
    }
    return result;
}
