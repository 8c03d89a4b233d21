// SPDX-License-Identifier: GPL-3.0-or-later
// main() of the GoogleTest suites that need a Qt event loop.

#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
