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

// Starts `args` (the program first) with its descriptor `fd` on a pipe; the process, or -1,
// and the pipe's end to read from in `readEnd`.
inline pid_t spawnWithPipe(const std::vector<std::string>& args, int fd, int& readEnd) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int ends[2];
    readEnd = -1;
    if (::pipe(ends) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], fd);
    posix_spawn_file_actions_addclose(&actions, ends[0]);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    readEnd = ends[0];
    return pid;
}

// A program of the build running beside the test, its standard error collected.
class ProgramProcess {
public:
    explicit ProgramProcess(const std::vector<std::string>& args) { pid_ = spawnWithPipe(args, 2, err_); }
    ~ProgramProcess() { wait(); }
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    void signal(int number) {
        if (pid_ > 0) ::kill(pid_, number);
    }
    // Waits up to ten seconds until the program has written `text` to its standard error.
    bool waitForOutput(const std::string& text) {
        pollfd pfd{err_, POLLIN, 0};
        for (int i = 0; i < 1000 && errors_.find(text) == std::string::npos; ++i) {
            if (::poll(&pfd, 1, 10) <= 0) continue;
            char buf[512];
            const ssize_t n = ::read(err_, buf, sizeof buf);
            if (n <= 0) break;
            errors_.append(buf, static_cast<std::size_t>(n));
        }
        return errors_.find(text) != std::string::npos;
    }
    // Waits for the end; the exit status, or -1 (not started, or ended by a signal).
    int wait(std::string* errorOutput = nullptr) {
        if (pid_ > 0) {
            char buf[512];
            ssize_t n;
            while ((n = ::read(err_, buf, sizeof buf)) > 0) errors_.append(buf, static_cast<std::size_t>(n));
            int status = 0;
            ::waitpid(pid_, &status, 0);
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            pid_ = -1;
        }
        if (err_ >= 0) ::close(err_);
        err_ = -1;
        if (errorOutput) *errorOutput = errors_;
        return status_;
    }

private:
    pid_t pid_ = -1;
    int err_ = -1;
    int status_ = -1;
    std::string errors_;
};

// Runs a program of the build and waits for it; returns its exit status, or -1.
inline int runProgram(const std::vector<std::string>& args, std::string* errorOutput = nullptr) {
    return ProgramProcess(args).wait(errorOutput);
}

class InstrumentProcess {
public:
    explicit InstrumentProcess(const std::vector<std::string>& args) {
        std::vector<std::string> all = {binDir() + "/fendal-instrument"};
        all.insert(all.end(), args.begin(), args.end());
        pid_ = spawnWithPipe(all, 1, out_);
        if (out_ >= 0) readReady();
    }
    ~InstrumentProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            // A frozen instrument takes the signal once it goes on. Only then: a continue signal
            // in the middle of the leak checker's stop of the world at exit can hang it.
            if (frozen_) ::kill(pid_, SIGCONT);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) ::close(out_);
    }
    InstrumentProcess(const InstrumentProcess&) = delete;
    InstrumentProcess& operator=(const InstrumentProcess&) = delete;

    bool ready() const { return !path_.empty(); }
    // Stops the process where it is, as an instrument that has hung: nothing answers any more.
    void freeze() {
        frozen_ = true;
        ::kill(pid_, SIGSTOP);
    }
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
    bool frozen_ = false;
};
