// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The server's loop: a reader thread frames the client's messages into an
// inbox; the loop takes everything the inbox holds, answers it in order,
// then checks each changed document once. A burst of changes is one check,
// of the newest text, and a request cancelled within the burst is answered
// as cancelled.
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

#include "Server.h"
#include "Transport.h"

namespace vek::lsp {
namespace {

class Inbox {
public:
    // Waits while the inbox holds more than a message's worth, so a client
    // that writes faster than the server reads costs bounded memory.
    void put(Incoming incoming) {
        std::unique_lock<std::mutex> lock(mutex_);
        roomy_.wait(lock, [&] { return bytes_ <= kLargestMessage; });
        bytes_ += incoming.body.size();
        messages_.push_back(std::move(incoming));
        ready_.notify_one();
    }
    std::deque<Incoming> takeAll() {
        std::unique_lock<std::mutex> lock(mutex_);
        ready_.wait(lock, [&] { return !messages_.empty(); });
        std::deque<Incoming> taken;
        taken.swap(messages_);
        bytes_ = 0;
        roomy_.notify_one();
        return taken;
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_, roomy_;
    std::deque<Incoming> messages_;
    size_t bytes_ = 0;
};

}  // namespace

int serve(std::FILE* in, std::FILE* out, ServerSetup setup) {
    auto inbox = std::make_shared<Inbox>();
    // The reader may be blocked reading when the server exits: it is left
    // to the end of the process, holding the inbox it writes to.
    std::thread([inbox, in] {
        MessageReader reader(in);
        while (true) {
            Incoming incoming = reader.next();
            const bool end = incoming.kind == Incoming::Kind::End;
            inbox->put(std::move(incoming));
            if (end) return;
        }
    }).detach();

    Server server(std::move(setup), [out](const std::string& body) { return writeMessage(out, body); });
    while (!server.exited()) {
        std::deque<Incoming> burst = inbox->takeAll();
        for (const Incoming& incoming : burst) {
            if (incoming.kind == Incoming::Kind::Body && incoming.body.find("$/cancelRequest") != std::string::npos) {
                server.noteCancel(incoming.body);
            }
        }
        for (Incoming& incoming : burst) {
            if (server.exited()) break;
            if (!incoming.problem.empty()) server.logProblem(incoming.problem);
            if (incoming.kind == Incoming::Kind::Body) server.receive(std::move(incoming.body));
            if (incoming.kind == Incoming::Kind::End) {
                if (incoming.midMessage) server.logProblem("the input ended inside a message");
                server.streamEnded();
            }
            incoming.body = std::string();
        }
        server.forgetCancels();
        try {
            server.publishChanged();
        } catch (const std::bad_alloc&) {
            server.logProblem("out of memory while checking a document; its diagnostics are not shown");
        }
    }
    return server.exitStatus();
}

}  // namespace vek::lsp
