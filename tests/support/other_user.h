#pragma once
// Runs part of a test as another local user (nobody), for what one user can do to another's
// files. Only root can switch users; tests skip where canBecomeOtherUser() is false.
#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

inline constexpr uid_t kOtherUid = 65534;
inline constexpr gid_t kOtherGid = 65534;

inline bool canBecomeOtherUser() { return ::geteuid() == 0; }

// Runs `body` in a child process as the other user; true when it returned true.
inline bool asOtherUser(const std::function<bool()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(kOtherGid, kOtherGid, kOtherGid) != 0 ||
            ::setresuid(kOtherUid, kOtherUid, kOtherUid) != 0)
            ::_exit(2);
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
