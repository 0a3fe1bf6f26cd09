// The way out of a signal handler that has recorded what it needed.
#pragma once

#include <csignal>

// From inside a handler of signal: puts back the default action, so that the
// faulting access, re-run when the handler returns, ends the process with
// that signal. A signal that was sent (raise, kill) has no access to re-run;
// it is sent again and arrives once the handler returns. Async-signal-safe.
void FallBackToDefaultAction(int signal, const siginfo_t* info);
