// The Qt tests run inside the program's own application object, on the offscreen platform.

#include "NorlinkApplication.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleMock(&argc, argv);
    TNorlinkApplication app(argc, argv);
    // No test may end up in a real modal box.
    app.SetZobrazeniChyby([](const std::string& text, const std::string&) {
        ADD_FAILURE() << "unexpected exception at the event loop: " << text;
    });
    return RUN_ALL_TESTS();
}
