// Tests on the real widgets: the host's application object, an operator, and texts in UTF-8.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QString>

#include "framework/platform/text_encoding.h"
#include "tests/qt/qt_operator.h"

// The toolkit's form of a code page 936 text.
inline QString Utf8(const char* cp936) {
    return QString::fromStdString(Cp936ToUtf8(cp936));
}

class QtDialogs : public testing::Test {
protected:
    static void SetUpTestSuite() {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "host";
            static char* argv[] = {name, nullptr};
            new QApplication(argc, argv);
        }
    }

    void TearDown() override {
        EXPECT_TRUE(m_operator.Problems().empty()) << m_operator.Problems().front();
    }

    QtOperator m_operator;
};
