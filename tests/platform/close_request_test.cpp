#include "platform/close_request.h"

#include <atomic>
#include <csignal>

#include <gtest/gtest.h>

namespace {

std::atomic<int> closeRequests(0);
void CountCloseRequest() { ++closeRequests; }

std::atomic<int> earlierHandlerCalls(0);
void EarlierHandler(int) { ++earlierHandlerCalls; }

TEST(CloseRequestTest, TerminationSignalsCallTheCallbackUntilRemoved) {
    for (int signal : {SIGTERM, SIGINT}) {
        closeRequests = 0;
        earlierHandlerCalls = 0;
        std::signal(signal, EarlierHandler);

        InstallCloseHandlers(CountCloseRequest);
        std::raise(signal);
        EXPECT_EQ(closeRequests, 1) << signal;
        EXPECT_EQ(earlierHandlerCalls, 0) << signal;

        RemoveCloseHandlers();
        std::raise(signal);
        EXPECT_EQ(closeRequests, 1) << signal;
        EXPECT_EQ(earlierHandlerCalls, 1) << signal;
        std::signal(signal, SIG_DFL);
    }
}

}  // namespace
