// Under Wine a test program writes into a pipe, which the Windows runtime
// buffers whole until exit: a program that dies early would leave no trace of
// how far it got. Unbuffered, every line it printed reaches the test log.
#include <cstdio>

namespace {
struct UnbufferedOutput {
    UnbufferedOutput() { std::setvbuf(stdout, nullptr, _IONBF, 0); }
} unbufferedOutput;
}  // namespace
