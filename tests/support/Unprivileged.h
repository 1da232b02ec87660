#pragma once
// Permission tests that also mean something when the suite runs as root: the body runs in a child
// process that has given up administrator rights first.

#include <functional>
#include <grp.h>
#include <pwd.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

// The user and group a root child becomes: "nobody", or 65534 where no such user is listed.
inline uid_t UnprivilegedUser() {
    const passwd* entry = ::getpwnam("nobody");
    return entry ? entry->pw_uid : 65534;
}

inline gid_t UnprivilegedGroup() {
    const passwd* entry = ::getpwnam("nobody");
    return entry ? entry->pw_gid : 65534;
}

// True when the process has administrator rights, so that permission bits do not stop it.
inline bool RunsAsRoot() {
    return ::geteuid() == 0;
}

// Runs `body` in a forked child without administrator rights (as root the child becomes
// "nobody"; any other user stays who it is) and returns what the body returned. The child ends
// with _exit, so nothing of the test program's own shutdown runs twice. False when the child
// cannot be started or could not give up its rights.
inline bool RunUnprivileged(const std::function<bool()>& body) {
    const uid_t user = UnprivilegedUser();
    const gid_t group = UnprivilegedGroup();
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        if (RunsAsRoot() &&
            (::setgroups(0, nullptr) != 0 || ::setgid(group) != 0 || ::setuid(user) != 0))
            ::_exit(2);
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
