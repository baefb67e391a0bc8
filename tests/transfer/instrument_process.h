#pragma once
// The virtual instrument (fendal-instrument) as a separate process for a test: started with
// its arguments, ready once it has printed "READY <path>", ended with SIGTERM.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

inline std::string binDir() {
    const char* dir = std::getenv("FENDAL_BIN_DIR");
    return dir ? dir : ".";
}

// Runs a program of the build and waits for it; returns its exit status, or -1.
inline int runProgram(const std::vector<std::string>& args, std::string* errorOutput = nullptr) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int err[2];
    if (::pipe(err) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawn_file_actions_addclose(&actions, err[0]);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(err[1]);
    if (rc != 0) {
        ::close(err[0]);
        return -1;
    }
    std::string text;
    char buf[512];
    ssize_t n;
    while ((n = ::read(err[0], buf, sizeof buf)) > 0) text.append(buf, static_cast<std::size_t>(n));
    ::close(err[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (errorOutput) *errorOutput = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class InstrumentProcess {
public:
    explicit InstrumentProcess(const std::vector<std::string>& args) {
        std::vector<std::string> all = {binDir() + "/fendal-instrument"};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (const auto& a : all) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        int out[2];
        if (::pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        out_ = out[0];
        readReady();
    }
    ~InstrumentProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) ::close(out_);
    }
    InstrumentProcess(const InstrumentProcess&) = delete;
    InstrumentProcess& operator=(const InstrumentProcess&) = delete;

    bool ready() const { return !path_.empty(); }
    const std::string& path() const { return path_; }

private:
    void readReady() {
        std::string line;
        pollfd pfd{out_, POLLIN, 0};
        while (line.find('\n') == std::string::npos && ::poll(&pfd, 1, 10000) > 0) {
            char c[128];
            const ssize_t n = ::read(out_, c, sizeof c);
            if (n <= 0) break;
            line.append(c, static_cast<std::size_t>(n));
        }
        if (line.rfind("READY ", 0) == 0 && line.find('\n') != std::string::npos)
            path_ = line.substr(6, line.find('\n') - 6);
    }

    pid_t pid_ = -1;
    int out_ = -1;
    std::string path_;
};
