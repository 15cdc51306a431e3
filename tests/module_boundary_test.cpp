#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/other_module.h"

namespace {

TEST(ModuleBoundary, ExceptionsCrossIntoAndThroughAnotherModule) {
    try {
        OtherModuleThrow("thrown over there");
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "thrown over there");
    }

    try {
        OtherModuleCallBack([] { throw std::logic_error("thrown here"); });
        ADD_FAILURE() << "no exception";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ(error.what(), "thrown here");
    }
}

}  // namespace
