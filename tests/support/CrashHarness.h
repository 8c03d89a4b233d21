// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs a change to a table in a child process that kills itself at a chosen step of the file
// system (see FaultyFileSystem), so tests can look at what a crash there leaves behind.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "storage/TableDatabase.h"
#include "tests/support/FaultyFileSystem.h"

namespace tolvane::test {

// Opens path under alias in the child, then runs change with the fault armed at the given step
// after the open. True when the child was killed, false when the change ended before that step.
inline bool runKilledAt(const std::string& path, const std::string& alias, int step,
                        FaultyFileSystem::Fault fault,
                        const std::function<Status(TableDatabase&)>& change) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        FaultyFileSystem faulty;
        TableDatabase::Options o;
        o.fileSystem = &faulty;
        TableDatabase db(o);
        if (!db.open(path, alias).isOk()) ::_exit(3);
        faulty.injectAt(faulty.steps() + step, fault);
        ::_exit(change(db).isOk() ? 0 : 4);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) return true;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    return false;
}

}  // namespace tolvane::test
