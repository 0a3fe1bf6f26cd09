#include "runtime/signal_fallback.h"

void FallBackToDefaultAction(int signal, const siginfo_t* info)
{
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    if (info->si_code <= 0)
        raise(signal);
}
