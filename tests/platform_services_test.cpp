#include <gtest/gtest.h>

#include <future>
#include <string>

#include "framework/afxmsgbox.h"
#include "framework/afxthread.h"
#include "framework/text_encoding.h"
#include "tests/support/utf8_literal.h"

namespace {

UINT FulfilPromise(LPVOID param) {
    static_cast<std::promise<void>*>(param)->set_value();
    return 0;
}

TEST(AfxBeginThread, RunsTheFunctionOnItsArgument) {
    std::promise<void> ran;
    EXPECT_NE(AfxBeginThread(FulfilPromise, &ran), nullptr);
    EXPECT_EQ(ran.get_future().wait_for(std::chrono::seconds(20)), std::future_status::ready);
}

TEST(AfxBeginThread, RefusesWhatItCannotStart) {
    std::promise<void> ran;
    EXPECT_EQ(AfxBeginThread(nullptr, &ran), nullptr);
    constexpr DWORD kCreateSuspended = 4;
    EXPECT_EQ(AfxBeginThread(FulfilPromise, &ran, 0, 0, kCreateSuspended), nullptr);
}

TEST(Cp936ToUtf8, ConvertsAndMarksInvalidBytes) {
    EXPECT_EQ(Cp936ToUtf8("星期一 ok"), Utf8(u8"星期一 ok"));
    EXPECT_EQ(Cp936ToUtf8(""), "");
    EXPECT_EQ(Cp936ToUtf8("a\xff"
                                    "b\xd0"),
              "a?b?");
}

TEST(AfxMessageBox, DefaultSinkWritesTheTextForTheTerminal) {
    testing::internal::CaptureStderr();
    const int result = AfxMessageBox("设置的起始时间不能大于截止时间！");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), Utf8(u8"设置的起始时间不能大于截止时间！\n"));
    EXPECT_EQ(result, IDOK);
}

}  // namespace
