// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/SingleInstance.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

using Claim = SingleInstance::Claim;
using test::TempDir;

bool waitFor(const std::function<bool()>& done, int ms = 2000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// A local program other than Tolvane that finds the socket.
int connectTo(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_RUNTIME_DIR", m_runtime.path().c_str(), 1); }

    std::string socketPath() const {
        return SingleInstance::serverName(m_folder.path()).toStdString();
    }

    // The running program: it counts the show requests it hears.
    std::unique_ptr<SingleInstance> startFirst() {
        auto first = std::make_unique<SingleInstance>(m_folder.path());
        first->onShowRequested = [this] { ++m_shown; };
        EXPECT_EQ(first->claim(), Claim::kFirst);
        return first;
    }

    // A second start, which should show the running program once more.
    void startSecond() {
        const int before = m_shown;
        EXPECT_EQ(SingleInstance(m_folder.path()).claim(), Claim::kShownOther);
        EXPECT_TRUE(waitFor([this, before] { return m_shown == before + 1; }));
    }

    TempDir m_runtime;
    TempDir m_folder;
    int m_shown = 0;
};

TEST_F(SingleInstanceTest, ASecondStartInTheFolderShowsTheFirstAndAnotherFolderRingsOnItsOwn) {
    {
        const auto first = startFirst();
        startSecond();

        TempDir otherFolder;
        EXPECT_EQ(SingleInstance(otherFolder.path()).claim(), Claim::kFirst);
    }
    // The program has ended: its socket is gone, and the next start rings.
    EXPECT_FALSE(std::filesystem::exists(socketPath()));
    EXPECT_EQ(SingleInstance(m_folder.path()).claim(), Claim::kFirst);
    EXPECT_EQ(m_shown, 1);
}

TEST_F(SingleInstanceTest, CallersThatSayNothingOrSomethingElseNeitherHoldUpNorShowTheWindow) {
    const auto first = startFirst();
    const int silent = connectTo(socketPath());
    const int other = connectTo(socketPath());
    const int ended = connectTo(socketPath());
    ASSERT_GE(silent, 0);
    ASSERT_GE(other, 0);
    ASSERT_GE(ended, 0);
    const std::string request =
        "GET / HTTP/1.1\r\nHost: localhost\r\n\r\n" + std::string(4096, 'x');
    ASSERT_EQ(::write(other, request.data(), request.size()), static_cast<ssize_t>(request.size()));
    ASSERT_EQ(::write(ended, "sh", 2), 2);
    ::close(ended);
    // The event loop runs on (this wait returns) with a caller that keeps silent.
    EXPECT_FALSE(waitFor([this] { return m_shown > 0; }, 300));

    startSecond();  // heard with the silent caller still connected
    ::close(silent);
    ::close(other);
}

TEST_F(SingleInstanceTest, TheSocketOfAProgramThatDiedIsTakenOver) {
    // A socket file left behind: bound once, nobody listening any more.
    {
        const int dead = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socketPath().c_str(), sizeof address.sun_path - 1);
        ASSERT_EQ(::bind(dead, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        ::close(dead);
    }
    ASSERT_TRUE(std::filesystem::exists(socketPath()));
    const auto first = startFirst();
    startSecond();
}

}  // namespace
}  // namespace tolvane
