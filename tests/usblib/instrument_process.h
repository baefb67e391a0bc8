#pragma once
// fendal-instrument as a separate process, found through $FENDAL_BIN_DIR.
#include <sys/types.h>

#include <string>
#include <vector>

class InstrumentProcess {
public:
    // Starts it and waits for its READY line; ready() tells whether one came.
    explicit InstrumentProcess(const std::vector<std::string>& args);
    ~InstrumentProcess();
    InstrumentProcess(const InstrumentProcess&) = delete;
    InstrumentProcess& operator=(const InstrumentProcess&) = delete;

    bool ready() const { return !readyPath_.empty(); }
    const std::string& readyPath() const { return readyPath_; }
    // Sends SIGTERM; see exitStatus.
    void terminate();
    // Waits up to a few seconds for the process to end; its exit status, or -1.
    int exitStatus();

private:
    pid_t pid_ = -1;
    int status_ = -1;
    std::string readyPath_;
};

// Runs fendal-instrument to its end with the given arguments; its exit status.
int runInstrument(const std::vector<std::string>& args);
