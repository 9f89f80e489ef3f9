#pragma once
// Faults only another process can play: a kill in the middle of a write, a full disk (a file
// size limit), an account without the superuser's rights. POSIX only.

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>

namespace ws::test {

// Runs `body` in a child process; its exit code, or 128 + the signal that ended it.
template <typename F>
int InChild(F body) {
    const pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// As InChild, without the rights of the superuser (who may write anywhere), so file permissions
// hold as they do for an inspector's account. 99: the rights could not be given up.
template <typename F>
int Unprivileged(F body) {
    return InChild([&] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(99);
        body();
    });
}

}  // namespace ws::test
#endif
