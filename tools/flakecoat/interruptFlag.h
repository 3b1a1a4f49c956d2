#ifndef FLAKECOAT_TOOLS_INTERRUPT_FLAG_H
#define FLAKECOAT_TOOLS_INTERRUPT_FLAG_H

#include <atomic>

// While one lives, every signal that would end the process by default and
// can be caught (SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGALRM, SIGUSR1,
// SIGUSR2, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO, SIGPWR, SIGSTKFLT and
// the real-time signals) sets a flag instead, so a render or sweep stops
// within a sample, removes its temporary files and exits with 128 + the
// signal's number. A write over the file-size limit then fails with EFBIG
// and is reported as such. Faults (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP,
// SIGSYS, SIGABRT) keep their default action: they mean a bug, not a request.
class InterruptFlag {
public:
    InterruptFlag();
    ~InterruptFlag();
    InterruptFlag(const InterruptFlag&) = delete;
    InterruptFlag& operator=(const InterruptFlag&) = delete;

    const std::atomic<bool>& flag() const;
    bool raised() const { return flag().load(); }
    // The first signal caught.
    int signalNumber() const;
};

#endif
