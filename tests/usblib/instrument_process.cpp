#include "usblib/instrument_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace {

std::string instrumentPath() {
    const char* dir = std::getenv("FENDAL_BIN_DIR");
    return std::string(dir ? dir : ".") + "/fendal-instrument";
}

pid_t spawn(const std::vector<std::string>& args, int stdoutFd) {
    std::vector<std::string> all = {instrumentPath()};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int waitFor(pid_t pid, int seconds) {
    for (int i = 0; i < seconds * 100; ++i) {
        int status = 0;
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (done < 0) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

}  // namespace

InstrumentProcess::InstrumentProcess(const std::vector<std::string>& args) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return;
    pid_ = spawn(args, out[1]);
    close(out[1]);
    std::string line;
    pollfd p{out[0], POLLIN, 0};
    while (pid_ > 0 && poll(&p, 1, 10000) > 0) {
        char c;
        if (read(out[0], &c, 1) != 1 || c == '\n') break;
        line += c;
    }
    close(out[0]);
    if (line.rfind("READY ", 0) == 0) readyPath_ = line.substr(6);
}

InstrumentProcess::~InstrumentProcess() {
    if (pid_ > 0 && status_ < 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

void InstrumentProcess::terminate() {
    if (pid_ > 0 && status_ < 0) kill(pid_, SIGTERM);
}

int InstrumentProcess::exitStatus() {
    if (pid_ > 0 && status_ < 0) status_ = waitFor(pid_, 10);
    return status_;
}

int runInstrument(const std::vector<std::string>& args) {
    int devnull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    pid_t pid = spawn(args, devnull);
    close(devnull);
    return pid > 0 ? waitFor(pid, 10) : -1;
}
