// Runs a command and prints its processor time (user and kernel) in microseconds and its peak
// resident memory in KiB, as the kernel gives them to wait4(): finer than /usr/bin/time, which
// tells hundredths of a second. The command reads nothing and its standard output is dropped.
// Exits 1 when the command fails.
//
//   usage COMMAND [ARGUMENT...]

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: usage COMMAND [ARGUMENT...]\n");
        return 2;
    }
    const pid_t child = fork();
    if (child < 0) {
        std::perror("usage: fork");
        return 2;
    }
    if (child == 0) {
        const int null = open("/dev/null", O_RDWR);
        if (null < 0 || dup2(null, STDIN_FILENO) < 0 || dup2(null, STDOUT_FILENO) < 0) {
            std::perror("usage: /dev/null");
            _exit(127);
        }
        execvp(argv[1], argv + 1);
        std::perror(argv[1]);
        _exit(127);
    }
    int status = 0;
    rusage used{};
    if (wait4(child, &status, 0, &used) < 0) {
        std::perror("usage: wait4");
        return 2;
    }
    const long long microseconds = (used.ru_utime.tv_sec + used.ru_stime.tv_sec) * 1000000LL +
                                   used.ru_utime.tv_usec + used.ru_stime.tv_usec;
    std::printf("%lld %ld\n", microseconds, used.ru_maxrss);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}
