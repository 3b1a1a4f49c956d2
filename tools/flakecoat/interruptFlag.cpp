#include "interruptFlag.h"

#include <csignal>
#include <vector>

namespace {

std::atomic<bool> interrupted{false};
volatile std::sig_atomic_t interruptSignal = 0;

// The signals whose default action ends the process, other than faults.
std::vector<int> stopSignals() {
    std::vector<int> signals = {SIGINT, SIGTERM, SIGHUP,    SIGQUIT, SIGPIPE, SIGALRM, SIGUSR1,
                                SIGUSR2, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO,  SIGPWR};
#ifdef SIGSTKFLT
    signals.push_back(SIGSTKFLT);
#endif
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) signals.push_back(signal);
    return signals;
}

struct Previous {
    int signal;
    struct sigaction action;
};
std::vector<Previous> previous;

void onInterrupt(int signal) {
    if (interruptSignal == 0) interruptSignal = signal;
    interrupted.store(true);
}

}  // namespace

InterruptFlag::InterruptFlag() {
    interrupted.store(false);
    interruptSignal = 0;
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // Restarted, so a signal arriving during a write does not fail it.
    action.sa_flags = SA_RESTART;
    for (const int signal : stopSignals()) {
        Previous saved{signal, {}};
        if (sigaction(signal, &action, &saved.action) == 0) previous.push_back(saved);
    }
}

InterruptFlag::~InterruptFlag() {
    for (const Previous& saved : previous) sigaction(saved.signal, &saved.action, nullptr);
    previous.clear();
}

const std::atomic<bool>& InterruptFlag::flag() const { return interrupted; }

int InterruptFlag::signalNumber() const { return int(interruptSignal); }
