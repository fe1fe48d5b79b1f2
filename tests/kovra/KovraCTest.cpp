// The C header used from C: the calls in KovraC.c.
#include <gtest/gtest.h>

extern "C" int KovraZC(void);

namespace {

TEST(KovraC, CallersInCSeeTheDocumentedResults) {
    EXPECT_EQ(KovraZC(), 0);
}

} // namespace
